#include "ReadEverything.hpp"

#include <algorithm>
#include <vector>

#include "e57/BlobNode.hpp"
#include "e57/CompressedVectorNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/ImageFile.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "e57/StringNode.hpp"
#include "e57/VectorNode.hpp"

namespace e57test
{
namespace
{

constexpr std::size_t kBlock = 512;
// Prototypes of constant fields only may claim any record count; stop somewhere.
constexpr std::uint64_t kMaxRecords = 1u << 22;

void collectFields(const e57::StructureNode& prototype, const std::string& prefix, std::vector<std::string>& names)
{
    for (std::int64_t i = 0; i < prototype.childCount(); ++i)
    {
        const e57::Node field = prototype.get(i);
        const std::string name = prefix + field.elementName();
        if (field.is(e57::NodeType::Structure))
            collectFields(e57::StructureNode(field), name + "/", names);
        else if (!field.is(e57::NodeType::String) && !field.is(e57::NodeType::Vector))
            names.push_back(name);
    }
}

std::uint64_t readPoints(const e57::ImageFile& file, const e57::CompressedVectorNode& points)
{
    std::vector<std::string> names;
    collectFields(points.prototype(), "", names);
    if (names.empty()) return 0;
    std::vector<std::vector<double>> storage(names.size(), std::vector<double>(kBlock));
    std::vector<e57::SourceDestBuffer> buffers;
    for (std::size_t i = 0; i < names.size(); ++i) buffers.emplace_back(file, names[i], storage[i].data(), kBlock, true, true);
    e57::CompressedVectorReader reader = points.reader(buffers);
    std::uint64_t total = 0;
    while (total < kMaxRecords)
    {
        const std::size_t count = reader.read();
        if (count == 0) break;
        total += count;
    }
    reader.close();
    return total;
}

std::uint64_t visit(const e57::ImageFile& file, const e57::Node& node);

std::uint64_t visitChildren(const e57::ImageFile& file, const e57::ContainerNode& container)
{
    std::uint64_t total = 0;
    for (std::int64_t i = 0; i < container.childCount(); ++i) total += visit(file, container.get(i));
    return total;
}

std::uint64_t visit(const e57::ImageFile& file, const e57::Node& node)
{
    switch (node.type())
    {
        case e57::NodeType::Structure: return visitChildren(file, e57::StructureNode(node));
        case e57::NodeType::Vector: return visitChildren(file, e57::VectorNode(node));
        case e57::NodeType::CompressedVector: return readPoints(file, e57::CompressedVectorNode(node));
        case e57::NodeType::Integer: static_cast<void>(e57::IntegerNode(node).value()); break;
        case e57::NodeType::ScaledInteger: static_cast<void>(e57::ScaledIntegerNode(node).scaledValue()); break;
        case e57::NodeType::Float: static_cast<void>(e57::FloatNode(node).value()); break;
        case e57::NodeType::String: static_cast<void>(e57::StringNode(node).value()); break;
        case e57::NodeType::Blob:
        {
            const e57::BlobNode blob(node);
            std::vector<unsigned char> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(blob.byteCount(), 4096)));
            blob.read(bytes.data(), 0, bytes.size());
            break;
        }
    }
    return 0;
}

}  // namespace

std::uint64_t readEverything(const std::string& path, int checksumPercent)
{
    e57::ImageFile file(path, "r", checksumPercent);
    const std::uint64_t total = visit(file, file.root());
    file.close();
    return total;
}

}  // namespace e57test
