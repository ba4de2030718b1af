#include "creation/WallOpeningList.hpp"

void WallOpeningList::Add(const API_Element& opening, const API_ElementMemo& memo)
{
    elements.Add(opening);
    memos.Add(memo);
}

void WallOpeningList::DisposeFrom(std::uint32_t first)
{
    while (memos.GetSize() > first)
    {
        const std::uint32_t last = memos.GetSize() - 1;
        HostDisposeElementMemo(&memos[last]);
        memos.Delete(last);
        elements.Delete(last);
    }
}
