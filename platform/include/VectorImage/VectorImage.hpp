#pragma once
#include <cstdint>
#include <variant>
#include <vector>

#include "Geometry/Polygon2DData.hpp"
#include "VectorImage/VectorImageRecords.hpp"

// The host's 2D drawing: records in the order they were added. Its iterator
// visits them sorted by kind code, then by running number (CompareVectorImageItems).
class VectorImage
{
public:
    struct HatchItem
    {
        Sy_HatchType record;
        HatchObject hatch;
    };
    using Item = std::variant<Sy_LinType, Sy_ArcType, Sy_PolyLinType, Sy_TextType, Sy_RichTextType, HatchItem>;

    GSErrCode AddLine(const Sy_LinType& line);
    GSErrCode AddArc(const Sy_ArcType& arc);
    // A whole ellipse: the record's angles are stored as 0 and 2 pi.
    GSErrCode AddWholeGenArc(const Sy_ArcType& arc);
    GSErrCode AddPolyLine(const Sy_PolyLinType& polyline);
    GSErrCode AddText(const Sy_TextType& text);
    GSErrCode AddRichText(const Sy_RichTextType& text);
    GSErrCode AddHatchRec(const Sy_HatchType& record, const HatchObject& hatch);

    void DeleteItemsOfType(SyEnum type);

    std::size_t GetItemCount() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }

    // The box around every record; false for an image without records.
    bool GetBounds(Geometry::Box2DData* box) const;

    // Equal records in the iterator's order; running numbers are not compared.
    bool operator==(const VectorImage& other) const;
    bool operator!=(const VectorImage& other) const { return !(*this == other); }

    const std::vector<Item>& Items() const { return items_; }

private:
    GSErrCode Append(Item item);

    std::vector<Item> items_;
    std::uint32_t nextSequence_ = 1;
};

// -1, 0 or 1: by kind code, then by running number.
int CompareVectorImageItems(const Sy_Header& a, const Sy_Header& b);

const Sy_Header& HeaderOf(const VectorImage::Item& item);

class ConstVectorImageIterator
{
public:
    explicit ConstVectorImageIterator(const VectorImage& image);

    bool IsEOI() const { return position_ >= order_.size(); }
    ConstVectorImageIterator& operator++()
    {
        ++position_;
        return *this;
    }

    SyEnum GetItemType() const;
    const Sy_LinType& GetLine() const { return std::get<Sy_LinType>(Current()); }
    const Sy_ArcType& GetArc() const { return std::get<Sy_ArcType>(Current()); }
    const Sy_PolyLinType& GetPolyLine() const { return std::get<Sy_PolyLinType>(Current()); }
    const Sy_TextType& GetText() const { return std::get<Sy_TextType>(Current()); }
    const Sy_RichTextType& GetRichText() const { return std::get<Sy_RichTextType>(Current()); }
    const Sy_HatchType& GetHatch() const { return std::get<VectorImage::HatchItem>(Current()).record; }
    const HatchObject& GetHatchObject() const { return std::get<VectorImage::HatchItem>(Current()).hatch; }
    const VectorImage::Item& GetItem() const { return Current(); }

private:
    const VectorImage::Item& Current() const { return image_.Items()[order_[position_]]; }

    const VectorImage& image_;
    std::vector<std::size_t> order_;
    std::size_t position_ = 0;
};
