#include "e57/CompressedVectorReader.hpp"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "e57/CompressedVectorSection.hpp"
#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/ImageData.hpp"
#include "e57/PagedFile.hpp"

namespace e57 {
namespace {

using Leaf = std::pair<std::string, const Element*>;

constexpr std::size_t kSliceRecords = 1024;

void collectLeaves(const Element& element, const std::string& prefix, std::vector<Leaf>& leaves) {
    for (std::size_t i = 0; i < element.children.size(); ++i) {
        const Element& child = *element.children[i];
        const std::string name = prefix + (element.type == NodeType::Vector ? std::to_string(i) : child.name);
        switch (child.type) {
            case NodeType::Structure:
            case NodeType::Vector: collectLeaves(child, name + "/", leaves); break;
            case NodeType::Integer:
            case NodeType::ScaledInteger:
            case NodeType::Float:
            case NodeType::String: leaves.emplace_back(name, &child); break;
            default:
                throw E57Exception(ErrorCode::BadNode, child.path() + ": a " + nodeTypeName(child.type) +
                                                           " cannot be a field of a prototype");
        }
    }
}

const Element& childOf(const Element& node, const char* name, NodeType type) {
    const Element* child = node.child(name);
    if (!child) throw E57Exception(ErrorCode::BadNode, node.path() + " has no " + name);
    if (child->type != type)
        throw E57Exception(ErrorCode::BadNode,
                           child->path() + " is a " + nodeTypeName(child->type) + ", not a " + nodeTypeName(type));
    return *child;
}

// A count that the section cannot hold would let a broken file spin the reader on.
// Every field counts at least one bit a record: constant fields take none, and a
// scan of them alone would otherwise claim any number of records.
void checkRecordCountFits(const Element& node, const std::vector<Leaf>& leaves, std::uint64_t sectionLength) {
    unsigned widest = 1;
    std::string widestName = "of any field";
    for (const auto& leaf : leaves) {
        const unsigned bits = leaf.second->type == NodeType::String ? 8 : leaf.second->bitWidth();
        if (bits > widest) {
            widest = bits;
            widestName = "of field " + leaf.first;
        }
    }
    if (node.count > sectionLength * 8 / widest)
        throw E57Exception(ErrorCode::BadSectionHeader, node.path() + ": " + std::to_string(node.count) + " records " +
                                                            widestName + " cannot fit a section of " +
                                                            std::to_string(sectionLength) + " bytes");
}

}  // namespace

CompressedVectorReader::CompressedVectorReader(std::shared_ptr<const ImageData> image, const Element& node,
                                               const std::vector<SourceDestBuffer>& buffers)
    : image_(std::move(image)), file_(image_->file), recordCount_(node.count) {
    if (!file_->isOpen()) throw E57Exception(ErrorCode::FileClosed, node.path());
    bind(node, buffers);
}

void CompressedVectorReader::bind(const Element& node, const std::vector<SourceDestBuffer>& buffers) {
    if (buffers.empty()) throw E57Exception(ErrorCode::BadBuffers, node.path() + ": no buffers given");
    capacity_ = buffers.front().capacity();
    std::set<std::string> bound;
    for (const auto& buffer : buffers) {
        if (buffer.capacity() != capacity_ || capacity_ == 0)
            throw E57Exception(ErrorCode::BadBuffers, node.path() + ": buffers must share one nonzero capacity");
        if (!buffer.data() || buffer.stride() < buffer.elementSize())
            throw E57Exception(ErrorCode::BadBuffers, buffer.path() + ": no memory or a stride below the value size");
        if (!bound.insert(buffer.path()).second)
            throw E57Exception(ErrorCode::BadBuffers, buffer.path() + " is bound twice");
    }

    const Element& prototype = childOf(node, "prototype", NodeType::Structure);
    if (const Element* codecs = node.child("codecs"); codecs && !codecs->children.empty())
        throw E57Exception(ErrorCode::UnsupportedCodec, node.path() + ": only bit-packed fields are supported");
    std::vector<Leaf> leaves;
    collectLeaves(prototype, "", leaves);

    // A scan without points may have no section at all.
    FieldChannel::Stream stream{0, leaves.size(), 0, 0};
    if (node.count > 0 || node.fileOffset != 0) {
        const CompressedVectorSection section(*file_, node);
        checkRecordCountFits(node, leaves, section.length());
        stream.dataStart = section.dataStart();
        stream.sectionEnd = section.end();
    }

    channels_.reserve(buffers.size());
    for (const auto& buffer : buffers) {
        const auto leaf = std::find_if(leaves.begin(), leaves.end(),
                                       [&](const Leaf& candidate) { return candidate.first == buffer.path(); });
        if (leaf == leaves.end())
            throw E57Exception(ErrorCode::PathUndefined, node.path() + ": the prototype has no field " + buffer.path());
        if (leaf->second->type == NodeType::String)
            throw E57Exception(ErrorCode::BadBuffers,
                               leaf->second->path() + ": a String field needs no numeric buffer");
        stream.index = static_cast<std::size_t>(leaf - leaves.begin());
        channels_.emplace_back(*file_, *leaf->second, stream, buffer);
    }
}

std::size_t CompressedVectorReader::read() { return read(0, capacity_); }

std::size_t CompressedVectorReader::read(std::size_t first, std::size_t limit) {
    if (!open_) throw E57Exception(ErrorCode::ReaderClosed, "read after close");
    if (first > capacity_ || limit > capacity_ - first)
        throw E57Exception(ErrorCode::BadBuffers, "a read of " + std::to_string(limit) + " records from slot " +
                                                      std::to_string(first) + " runs past the buffers' capacity of " +
                                                      std::to_string(capacity_));
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(limit, recordCount_ - recordsRead_));
    if (count == 0) return 0;
    try {
        // The fields are taken a slice of records at a time, so that they read from the
        // same few pages however large the caller's block is.
        for (std::size_t done = 0; done < count; done += kSliceRecords) {
            const std::size_t slice = std::min(kSliceRecords, count - done);
            for (auto& channel : channels_) channel.decode(first + done, slice);
        }
    } catch (...) {
        // The fields would no longer agree on the record they are at.
        close();
        throw;
    }
    recordsRead_ += count;
    return count;
}

void CompressedVectorReader::close() {
    open_ = false;
    channels_.clear();
    channels_.shrink_to_fit();
}

}  // namespace e57
