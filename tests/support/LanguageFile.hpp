#pragma once
#include <string>

#include "RS/ResourceModule.hpp"

// A language file beside the built add-on, opened as the add-on opens it and
// closed with the object.
class LanguageFile
{
public:
    explicit LanguageFile(const std::string& fileName) : module_(RS::OpenResourceFile(FolderOf(SURVANTO_APX_PATH) + fileName)) {}
    ~LanguageFile() { RS::CloseResourceModule(module_); }
    LanguageFile(const LanguageFile&) = delete;
    LanguageFile& operator=(const LanguageFile&) = delete;

    RS::ResModule module() const { return module_; }

private:
    static std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('/') + 1); }

    RS::ResModule module_;
};
