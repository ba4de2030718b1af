#pragma once
#include <cstdint>

#include "ProjectModel.hpp"

namespace SimHost
{

// The parts of each element kind that a change mask can mark.
void ApplyChangeMask(API_Element& target, const API_Element& source, const API_Element& mask);
void ApplyMemo(API_ElementMemo& target, const API_ElementMemo& source, std::uint64_t memoMask);
API_ElementMemo CopyMemo(const API_ElementMemo& source, std::uint64_t memoMask);

// The edits of HostEditElements; false for an element this host cannot move.
bool ApplyEdit(StoredElement& element, const API_EditPars& edit);
API_EditPars EditOfTransformation(const API_ActTranPars& transformation);

}  // namespace SimHost
