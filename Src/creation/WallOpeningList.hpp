#pragma once
#include "API/AddOnInterface.hpp"
#include "framework/TypVektor.hpp"

// The windows and doors of a wall that is being rebuilt: entry i of the records
// belongs to entry i of the memos. The list owns the memos; each is given back
// to the host once, by whoever uses it up or else by the list at its end.
class WallOpeningList
{
public:
    WallOpeningList() = default;
    WallOpeningList(const WallOpeningList&) = delete;
    WallOpeningList& operator=(const WallOpeningList&) = delete;
    ~WallOpeningList() { DisposeFrom(0); }

    void Add(const API_Element& opening, const API_ElementMemo& memo);
    std::uint32_t GetSize() const { return elements.GetSize(); }
    // Gives the memos from that entry on back to the host and drops them and their records.
    void DisposeFrom(std::uint32_t first);

    TypVektor<API_Element> elements;
    TypVektor<API_ElementMemo> memos;
};
