#pragma once
#include <gtest/gtest.h>

#include <string>

#include "RS/ResourceModule.hpp"

// A resource module holding one dialog description in the dialog manager's text form.
RS::ResModule DialogModule(short id, const std::string& description);

// A test of one dialog of its own: the dialog manager starts without dialogs
// and forgets them again before the module holding the description closes.
class OwnDialogTest : public ::testing::Test
{
protected:
    OwnDialogTest(short id, std::string description);
    void SetUp() override;
    void TearDown() override;

    RS::ResModule module_ = 0;

private:
    const short id_;
    const std::string description_;
};
