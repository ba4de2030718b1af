#include "PhotoVerbs.hpp"

#include <utime.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "DG/DG.hpp"
#include "Graphics/PngWriter.hpp"
#include "LibraryServices.hpp"
#include "NumberText.hpp"
#include "PaletteVerbs.hpp"
#include "ProjectFile.hpp"
#include "TI/Time.hpp"

namespace SimHost
{

namespace
{

constexpr DG::RGBColor16 Grey {43433, 43433, 43433};
// Only a guard against a hang: the wait ends as soon as the pictures are there.
constexpr std::chrono::seconds ThumbnailWait {30};

ScenarioVerb OnHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

NewDisplay::NativeImage PhotoPicture(std::uint32_t width, std::uint32_t height, std::uint8_t red, std::uint8_t green,
                                     std::uint8_t blue)
{
    NewDisplay::NativeImage picture(width, height);
    const Gfx::Color corner(255, 255, 255, 255);
    const Gfx::Color rest(red, green, blue, 255);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            picture.BlendPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                               x < width / 2 && y < height / 2 ? corner : rest);
    return picture;
}

}  // namespace

std::optional<std::string> ListViewFact(const std::string& name)
{
    std::istringstream words(name);
    std::string kind;
    short dialog = 0, item = 0;
    if (!(words >> kind) || kind != "list-view") return std::nullopt;
    if (!(words >> dialog >> item)) return "<list-view <dialog> <item>>";
    std::string text;
    const short count = DG::ListViewGetItemCount(dialog, item);
    for (short entry = 1; entry <= count; ++entry)
    {
        text += DG::ListViewGetItemText(dialog, item, entry).ToUtf8() + " (" +
                std::to_string(DG::ListViewGetItemUserData(dialog, item, entry)) + ")";
        if (!DG::ListViewGetItemImage(dialog, item, entry).IsEmpty()) text += " img";
        if (DG::ListViewGetItemColor(dialog, item, entry) == Grey) text += " grey";
        text += " | ";
    }
    const DG::Size size = DG::ListViewGetImageSize(dialog, item);
    return text + "mode " + std::to_string(DG::ListViewGetViewMode(dialog, item)) + " " + std::to_string(size.width) + "x" +
           std::to_string(size.height);
}

std::optional<std::string> PhotoFact(const Host& host, const std::string& name)
{
    std::istringstream words(name);
    std::string kind;
    words >> kind;
    if (kind == "embedded-pictures")
    {
        std::vector<std::string> files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(EmbeddedLibraryFolderPath(host) + "/Survanto", ec), end; !ec && it != end;
             it.increment(ec))
            files.push_back(it->path().filename().string());
        std::sort(files.begin(), files.end());
        std::string text;
        for (const std::string& file : files) text += (text.empty() ? "" : " ") + file;
        return text.empty() ? "none" : text;
    }
    if (kind != "parameter") return std::nullopt;
    std::size_t number = 0;
    std::string parameter;
    if (!(words >> number >> parameter)) return "<parameter <n> <name>>";
    const auto& elements = host.model_.content.elements;
    if (number < 1 || number > elements.size()) return "<no element " + std::to_string(number) + ">";
    for (const API_AddParType& p : elements[number - 1].memo.params)
    {
        if (parameter != p.name) continue;
        if (!p.arrayTexts.empty())
        {
            std::string text;
            for (std::size_t i = 0; i + 1 < p.arrayTexts.size(); i += 2)
            {
                const auto unit = static_cast<char16_t>(p.arrayTexts[i] | p.arrayTexts[i + 1] << 8);
                text += unit == 0 ? std::string("/") : GS::Utf16ToUtf8(std::u16string(1, unit));
            }
            return text;
        }
        if (p.typeID == APIParT_String) return "\"" + p.text.ToUtf8() + "\"";
        return NumberText(p.value, 6);
    }
    return "<no parameter " + parameter + ">";
}

void AddPhotoVerbs(ScenarioVerbs& verbs)
{
    verbs["clock"] = [](Scenario& s, std::istringstream& args) {
        double seconds = 0.0;
        if (!(args >> seconds) || !Scenario::Rest(args).empty()) return s.Fail("clock <seconds>");
        TISetTime(seconds);
        return true;
    };
    verbs["write-photo"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::string file;
        std::uint32_t width = 0, height = 0;
        int red = 40, green = 90, blue = 160;
        if (!(args >> file >> width >> height) || width == 0 || height == 0 || width > 8000 || height > 8000)
            return s.Fail("write-photo <file> <width> <height> [<red> <green> <blue>]");
        args >> red >> green >> blue;
        std::string error;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(WorkPath(host, file)).parent_path(), ec);
        const auto channel = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
        const NewDisplay::NativeImage picture = PhotoPicture(width, height, channel(red), channel(green), channel(blue));
        return NewDisplay::WritePngFile(picture, WorkPath(host, file), &error) || s.Fail(error);
    });
    verbs["file-time"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::string file;
        long seconds = 0;
        if (!(args >> file >> seconds)) return s.Fail("file-time <file> <seconds>");
        const utimbuf times {seconds, seconds};
        return ::utime(WorkPath(host, file).c_str(), &times) == 0 || s.Fail("cannot set the time of " + file);
    });
    verbs["wait-thumbnails"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        short dialog = 0, item = 0, count = 0;
        if (!(args >> dialog >> item >> count)) return s.Fail("wait-thumbnails <dialog> <item> <count>");
        if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty()) return s.Fail(why);
        const auto shown = [&] {
            short with = 0;
            for (short entry = 1; entry <= DG::ListViewGetItemCount(dialog, item); ++entry)
                with += DG::ListViewGetItemImage(dialog, item, entry).IsEmpty() ? 0 : 1;
            return with;
        };
        const auto until = std::chrono::steady_clock::now() + ThumbnailWait;
        while (shown() < count && std::chrono::steady_clock::now() < until)
        {
            host.WaitForPostedCommand(50);
            host.RunPendingCommands();
        }
        return shown() >= count || s.Fail("only " + std::to_string(shown()) + " thumbnails arrived within " +
                                          std::to_string(ThumbnailWait.count()) + " s");
    });
    verbs["list-view-png"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        short dialog = 0, item = 0;
        std::string file, error;
        if (!(args >> dialog >> item >> file)) return s.Fail("list-view-png <dialog> <item> <file.png>");
        if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty()) return s.Fail(why);
        return NewDisplay::WritePngFile(DG::ListViewPicture(dialog, item), WorkPath(host, file), &error) || s.Fail(error);
    });
}

}  // namespace SimHost
