#pragma once
#include <string>

#include "RS/ResourceModule.hpp"

// A resource module holding one dialog description in the dialog manager's text form.
RS::ResModule DialogModule(short id, const std::string& description);
