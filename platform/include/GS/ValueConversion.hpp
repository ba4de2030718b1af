#pragma once

namespace GS
{

// Reads the decimal number at the start of text, always with "." as the decimal
// point whatever the process's locale; text after the number is ignored. Leading
// blanks are passed over only with trim. Text that does not start with a finite
// number gives false and the value 0.
bool strtovalue(const char* text, double& value, bool trim);

}  // namespace GS
