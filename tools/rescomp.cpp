// Compiles the add-on's resources from their text form into a resource bundle,
// either as a file (language files) or as a C++ source that embeds it.
//
// Text form, one statement per line, "#" starts a comment line:
//   STR# <id>          then one quoted string per line, then END
//   DIALOG <id> ...    the lines up to END are kept as the dialog's description
//   DIALOGTEXT <id> "<title>"   then lines  item <item id> "<text>" [entries="a|b"],
//                      then END: a language's texts for the DIALOG <id> given
//                      before it (in this or an earlier input file); they replace
//                      the title and those items' texts and pop-up entries, the
//                      layout and values stay
//   TOOLTIPS <id> "<name>"    then lines  <item id> "<tooltip>" "<item name>", then END:
//                      the tooltips of dialog <id>, several per item in their order
//   FILE <id> "<path relative to the resource file>"
//   FOLDER <id>        then lines  "<file name>" <file resource id>, then END
//   MDID <id> <developer id> <local id>
//   ICON <id> <width> <height>   then one quoted row of pixels per line, then END:
//                      "." clear, "#" outline ink, "o" corner mark, "+" fill
// Strings take the escapes \xHH, \n, \r, \t, \" and \\; dialog texts do not, since
// the dialog manager reads them as they stand, up to the next quote.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "GS/UniString.hpp"

namespace
{

struct Resource
{
    std::uint32_t type;
    std::int16_t id;
    std::vector<std::uint8_t> data;
};

constexpr std::uint32_t StringListType = 0x53545223;
constexpr std::uint32_t DialogType = 0x444c4f47;
constexpr std::uint32_t FileType = 0x46494c45;
constexpr std::uint32_t FolderType = 0x464f4c44;
constexpr std::uint32_t ModuleIdType = 0x4d444944;
constexpr std::uint32_t TooltipType = 0x444c4748;
constexpr std::uint32_t IconType = 0x4749434e;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutI16(std::vector<std::uint8_t>& out, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw std::runtime_error("bad hex digit");
}

// Reads a quoted string starting at pos; pos ends behind the closing quote.
std::string ParseQuoted(const std::string& line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"') throw std::runtime_error("expected a quoted string");
    std::string out;
    for (++pos; pos < line.size(); ++pos)
    {
        const char c = line[pos];
        if (c == '"')
        {
            ++pos;
            return out;
        }
        if (c != '\\')
        {
            out += c;
            continue;
        }
        if (++pos >= line.size()) break;
        switch (line[pos])
        {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x':
                if (pos + 2 >= line.size()) throw std::runtime_error("short \\x escape");
                out += static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2]));
                pos += 2;
                break;
            default: out += line[pos]; break;
        }
    }
    throw std::runtime_error("unterminated string");
}

std::vector<std::uint8_t> ReadBinary(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The host's folder format: int32 byte count, int16 file count, then per file
// its name as UTF-16 in a 524-byte field and the int16 id of its file resource.
std::vector<std::uint8_t> BuildFolder(const std::vector<std::pair<std::string, std::int16_t>>& files)
{
    constexpr std::size_t NameField = 524;
    std::vector<std::uint8_t> body;
    PutI16(body, static_cast<std::int16_t>(files.size()));
    for (const auto& [name, id] : files)
    {
        std::vector<std::uint8_t> field(NameField, 0);
        const auto units = GS::Utf8ToUtf16(name);
        if ((units.size() + 1) * 2 > NameField) throw std::runtime_error("file name too long: " + name);
        for (std::size_t i = 0; i < units.size(); ++i)
        {
            field[2 * i] = static_cast<std::uint8_t>(units[i]);
            field[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
        }
        body.insert(body.end(), field.begin(), field.end());
        PutI16(body, id);
    }
    std::vector<std::uint8_t> out;
    PutU32(out, static_cast<std::uint32_t>(body.size() + 4));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

using LineSource = std::function<bool(std::string&)>;

// An icon: width and height (uint16 each), then its pixels row by row from the
// top, four bytes each (red, green, blue, alpha).
std::vector<std::uint8_t> ReadIcon(std::istringstream& head, const LineSource& nextLine)
{
    int width = 0, height = 0;
    if (!(head >> width >> height) || width <= 0 || height <= 0 || width > 256 || height > 256)
        throw std::runtime_error("ICON needs a width and a height from 1 to 256");
    std::vector<std::uint8_t> data;
    PutI16(data, static_cast<std::int16_t>(width));
    PutI16(data, static_cast<std::int16_t>(height));
    std::string line;
    int rows = 0;
    while (nextLine(line) && line != "END")
    {
        std::size_t pos = 0;
        const std::string row = ParseQuoted(line, pos);
        if (static_cast<int>(row.size()) != width)
            throw std::runtime_error("an icon row of " + std::to_string(row.size()) + " pixels");
        for (const char pixel : row)
        {
            static const std::string Kinds = ".#o+";
            static const std::uint8_t Colours[][4] = {{0, 0, 0, 0}, {40, 40, 60, 255}, {214, 120, 40, 255}, {70, 130, 180, 255}};
            const auto kind = Kinds.find(pixel);
            if (kind == std::string::npos) throw std::runtime_error(std::string("unknown icon pixel '") + pixel + "'");
            data.insert(data.end(), Colours[kind], Colours[kind] + 4);
        }
        ++rows;
    }
    if (line != "END") throw std::runtime_error("ICON without END");
    if (rows != height) throw std::runtime_error("an icon of " + std::to_string(rows) + " rows");
    return data;
}

// The quoted dialog text from pos on, as the dialog manager reads it; pos ends
// behind its closing quote.
std::string ParseQuotedDialogText(const std::string& line, std::size_t& pos)
{
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos || line[pos] != '"') throw std::runtime_error("expected a quoted text");
    const auto close = line.find('"', pos + 1);
    if (close == std::string::npos) throw std::runtime_error("unterminated text");
    const std::string text = line.substr(pos + 1, close - pos - 1);
    pos = close + 1;
    return text;
}

void ExpectLineEnd(const std::string& line, std::size_t pos)
{
    if (line.find_first_not_of(" \t", pos) != std::string::npos)
        throw std::runtime_error("unexpected '" + line.substr(pos) + "' after the text");
}

// The dialog text that ends the line from pos on.
std::string ParseDialogText(const std::string& line, std::size_t pos)
{
    const std::string text = ParseQuotedDialogText(line, pos);
    ExpectLineEnd(line, pos);
    return text;
}

// Both "DIALOG <id> <kind> "<title>"" and "item <id> <type> "<text>" ..." keep
// their text behind the third word; a line without one gets it there.
std::string WithText(const std::string& line, const std::string& text)
{
    std::size_t head = 0;
    for (int word = 0; word < 3 && head < line.size(); ++word)
    {
        head = line.find_first_not_of(" \t", head);
        head = head == std::string::npos ? line.size() : std::min(line.find_first_of(" \t", head), line.size());
    }
    std::size_t tail = head;
    const auto start = line.find_first_not_of(" \t", head);
    if (start != std::string::npos && line[start] == '"')
    {
        const auto close = line.find('"', start + 1);
        tail = close == std::string::npos ? line.size() : close + 1;
    }
    return line.substr(0, head) + " \"" + text + "\"" + line.substr(tail);
}

bool IsItemLine(const std::string& line, int itemId)
{
    std::istringstream in(line);
    std::string keyword;
    int id = 0;
    return in >> keyword >> id && keyword == "item" && id == itemId;
}

void ReplaceItemText(std::vector<std::string>& description, int itemId, const std::string& text)
{
    for (auto& line : description)
    {
        if (IsItemLine(line, itemId))
        {
            line = WithText(line, text);
            return;
        }
    }
    throw std::runtime_error("the dialog has no item " + std::to_string(itemId));
}

// The item's pop-up entries in place of those it had, or added at its end.
void ReplaceItemEntries(std::vector<std::string>& description, int itemId, const std::string& entries)
{
    const std::string option = "entries=\"" + entries + "\"";
    for (auto& line : description)
    {
        if (!IsItemLine(line, itemId)) continue;
        const auto at = line.find(" entries=");
        if (at == std::string::npos)
        {
            line += " " + option;
            return;
        }
        const std::size_t begin = at + 1;
        std::size_t end = begin + std::string("entries=").size();
        if (end < line.size() && line[end] == '"')
        {
            const auto close = line.find('"', end + 1);
            end = close == std::string::npos ? line.size() : close + 1;
        }
        else
        {
            end = std::min(line.find_first_of(" \t", end), line.size());
        }
        line.replace(begin, end - begin, option);
        return;
    }
    throw std::runtime_error("the dialog has no item " + std::to_string(itemId));
}

// "entries="a|b"" behind an item's text, or nothing.
bool ParseEntries(const std::string& line, std::size_t pos, std::string& entries)
{
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return false;
    const std::string key = "entries=";
    if (line.compare(pos, key.size(), key) != 0) ExpectLineEnd(line, pos);
    pos += key.size();
    entries = ParseQuotedDialogText(line, pos);
    ExpectLineEnd(line, pos);
    return true;
}

Resource& EarlierDialog(std::vector<Resource>& resources, std::int16_t id)
{
    // The first of a type and id is the one a module lookup finds.
    for (auto& r : resources)
        if (r.type == DialogType && r.id == id) return r;
    throw std::runtime_error("DIALOGTEXT for dialog " + std::to_string(id) + ", which no DIALOG before it defines");
}

// Where the words read so far from line end.
std::size_t PositionAfter(std::istringstream& words, const std::string& line)
{
    const auto at = words.tellg();
    return at < 0 ? line.size() : static_cast<std::size_t>(at);
}

// "DIALOGTEXT <id> "<title>"" and its item lines, applied to that dialog's description.
void ApplyDialogText(const std::string& header, const LineSource& nextLine, std::vector<Resource>& resources)
{
    std::istringstream head(header);
    std::string keyword;
    int id = 0;
    if (!(head >> keyword >> id)) throw std::runtime_error("DIALOGTEXT needs a dialog id");
    const std::string title = ParseDialogText(header, PositionAfter(head, header));
    Resource& dialog = EarlierDialog(resources, static_cast<std::int16_t>(id));

    std::vector<std::string> description;
    std::istringstream text(std::string(dialog.data.begin(), dialog.data.end()));
    for (std::string line; std::getline(text, line);) description.push_back(line);
    description.at(0) = WithText(description.at(0), title);

    std::string line;
    while (true)
    {
        if (!nextLine(line)) throw std::runtime_error("DIALOGTEXT without END");
        if (line == "END") break;
        std::istringstream item(line);
        int itemId = 0;
        if (!(item >> keyword >> itemId) || keyword != "item") throw std::runtime_error("expected: item <id> \"<text>\"");
        std::size_t pos = PositionAfter(item, line);
        ReplaceItemText(description, itemId, ParseQuotedDialogText(line, pos));
        std::string entries;
        if (ParseEntries(line, pos, entries)) ReplaceItemEntries(description, itemId, entries);
    }
    std::string joined;
    for (const auto& l : description) joined += l + "\n";
    dialog.data.assign(joined.begin(), joined.end());
}

// "<item id> "<tooltip>" "<item name>"", kept as it stands once it reads so.
void CheckTooltipLine(const std::string& line)
{
    std::istringstream words(line);
    int itemId = 0;
    if (!(words >> itemId)) throw std::runtime_error("expected: <item id> \"<tooltip>\" \"<item name>\"");
    std::size_t pos = line.find_first_not_of(" \t", PositionAfter(words, line));
    for (int text = 0; text < 2; ++text)
    {
        if (pos == std::string::npos || line[pos] != '"') throw std::runtime_error("expected a quoted text");
        const auto close = line.find('"', pos + 1);
        if (close == std::string::npos) throw std::runtime_error("unterminated text");
        pos = line.find_first_not_of(" \t", close + 1);
    }
    if (pos != std::string::npos) throw std::runtime_error("unexpected '" + line.substr(pos) + "' after the item name");
}

std::string ReadTooltips(const std::string& header, const LineSource& nextLine)
{
    std::istringstream head(header);
    std::string keyword;
    int id = 0;
    if (!(head >> keyword >> id)) throw std::runtime_error("TOOLTIPS needs a dialog id");
    ParseDialogText(header, PositionAfter(head, header));
    std::string text = header + "\n";
    std::string line;
    while (true)
    {
        if (!nextLine(line)) throw std::runtime_error("TOOLTIPS without END");
        if (line == "END") return text;
        CheckTooltipLine(line);
        text += line + "\n";
    }
}

void Compile(const std::string& path, std::vector<Resource>& resources)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string raw;
    int lineNo = 0;
    const LineSource nextLine = [&](std::string& line) {
        while (std::getline(in, raw))
        {
            ++lineNo;
            line = Trim(raw);
            if (!line.empty() && line[0] != '#') return true;
        }
        return false;
    };
    std::string line;
    try
    {
        while (nextLine(line))
        {
            std::istringstream head(line);
            std::string keyword;
            int id = 0;
            head >> keyword >> id;
            Resource res {0, static_cast<std::int16_t>(id), {}};
            if (keyword == "STR#")
            {
                res.type = StringListType;
                std::vector<std::string> strings;
                while (nextLine(line) && line != "END")
                {
                    std::size_t pos = 0;
                    strings.push_back(ParseQuoted(line, pos));
                }
                PutU32(res.data, static_cast<std::uint32_t>(strings.size()));
                for (const auto& s : strings)
                {
                    PutU32(res.data, static_cast<std::uint32_t>(s.size()));
                    res.data.insert(res.data.end(), s.begin(), s.end());
                }
            }
            else if (keyword == "DIALOG")
            {
                res.type = DialogType;
                std::string text = line + "\n";
                while (nextLine(line) && line != "END") text += line + "\n";
                res.data.assign(text.begin(), text.end());
            }
            else if (keyword == "TOOLTIPS")
            {
                res.type = TooltipType;
                const std::string text = ReadTooltips(line, nextLine);
                res.data.assign(text.begin(), text.end());
            }
            else if (keyword == "DIALOGTEXT")
            {
                ApplyDialogText(line, nextLine, resources);
                continue;
            }
            else if (keyword == "FILE")
            {
                res.type = FileType;
                std::size_t pos = line.find('"');
                res.data = ReadBinary(FolderOf(path) + "/" + ParseQuoted(line, pos));
            }
            else if (keyword == "FOLDER")
            {
                res.type = FolderType;
                std::vector<std::pair<std::string, std::int16_t>> files;
                while (nextLine(line) && line != "END")
                {
                    std::size_t pos = 0;
                    const std::string name = ParseQuoted(line, pos);
                    files.emplace_back(name, static_cast<std::int16_t>(std::stoi(line.substr(pos))));
                }
                res.data = BuildFolder(files);
            }
            else if (keyword == "ICON")
            {
                res.type = IconType;
                res.data = ReadIcon(head, nextLine);
            }
            else if (keyword == "MDID")
            {
                res.type = ModuleIdType;
                std::uint32_t developer = 0, local = 0;
                if (!(head >> developer >> local)) throw std::runtime_error("MDID needs two numbers");
                PutU32(res.data, developer);
                PutU32(res.data, local);
            }
            else
            {
                throw std::runtime_error("unknown statement '" + keyword + "'");
            }
            resources.push_back(std::move(res));
        }
    }
    catch (const std::exception& e)
    {
        throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": " + e.what());
    }
}

std::vector<std::uint8_t> Serialize(const std::vector<Resource>& resources)
{
    std::vector<std::uint8_t> out {'S', 'V', 'R', 'S'};
    PutU32(out, 1);
    PutU32(out, static_cast<std::uint32_t>(resources.size()));
    for (const auto& r : resources)
    {
        PutU32(out, r.type);
        PutI16(out, r.id);
        PutU32(out, static_cast<std::uint32_t>(r.data.size()));
        out.insert(out.end(), r.data.begin(), r.data.end());
    }
    return out;
}

void WriteFileAtomically(const std::string& path, const std::string& content)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out) throw std::runtime_error("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot replace " + path);
}

std::string EmbeddingSource(const std::vector<std::uint8_t>& bytes, const std::string& symbol)
{
    std::ostringstream src;
    src << "// Generated by rescomp.\n#include <cstddef>\n#include <cstdint>\n"
        << "extern const std::uint8_t " << symbol << "[];\nextern const std::size_t " << symbol << "Size;\n"
        << "const std::uint8_t " << symbol << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) src << (i % 24 == 0 ? "\n" : "") << unsigned(bytes[i]) << ",";
    src << "\n};\nconst std::size_t " << symbol << "Size = " << bytes.size() << ";\n";
    return src.str();
}

}  // namespace

int main(int argc, char** argv)
{
    // rescomp --bundle OUT IN...   or   rescomp --source OUT SYMBOL IN...
    if (argc < 4)
    {
        std::cerr << "usage: rescomp --bundle OUT IN... | --source OUT SYMBOL IN...\n";
        return 2;
    }
    const std::string mode = argv[1];
    const std::string outPath = argv[2];
    const int firstInput = mode == "--source" ? 4 : 3;
    try
    {
        std::vector<Resource> resources;
        for (int i = firstInput; i < argc; ++i) Compile(argv[i], resources);
        const auto bytes = Serialize(resources);
        if (mode == "--source")
            WriteFileAtomically(outPath, EmbeddingSource(bytes, argv[3]));
        else
            WriteFileAtomically(outPath, std::string(bytes.begin(), bytes.end()));
    }
    catch (const std::exception& e)
    {
        std::cerr << "rescomp: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
