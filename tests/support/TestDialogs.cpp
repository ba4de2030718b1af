#include "TestDialogs.hpp"

#include <cstdint>
#include <utility>
#include <vector>

#include "DG/DG.hpp"

RS::ResModule DialogModule(short id, const std::string& description)
{
    std::vector<std::uint8_t> bytes {'S', 'V', 'R', 'S', 0, 0, 0, 0, 1, 0, 0, 0};
    const auto put32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(RS::DialogType);
    bytes.push_back(static_cast<std::uint8_t>(id));
    bytes.push_back(static_cast<std::uint8_t>(id >> 8));
    put32(static_cast<std::uint32_t>(description.size()));
    bytes.insert(bytes.end(), description.begin(), description.end());
    return RS::RegisterEmbeddedModule(bytes.data(), bytes.size());
}

OwnDialogTest::OwnDialogTest(short id, std::string description) : id_(id), description_(std::move(description)) {}

void OwnDialogTest::SetUp()
{
    DG::ForgetAllDialogs();
    module_ = DialogModule(id_, description_);
}

void OwnDialogTest::TearDown()
{
    DG::ForgetAllDialogs();
    RS::CloseResourceModule(module_);
}
