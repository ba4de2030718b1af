#include "Survanto.hpp"

void Survanto::OnMeasuredPoint(std::int32_t) {}
