#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "frame/Survanto.hpp"

// Names a table-driven case after its label, as GoogleTest wants test names.
struct CaseLabelName
{
    template <typename Info>
    std::string operator()(const Info& info) const
    {
        std::string name = info.param.label;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    }
};

// A started host with the add-on's main object and its object library, a clean
// measuring state and a main palette as its resource describes it.
class DispatcherFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    Survanto& Main() { return *survanto_; }
    // Chooses the tool as the host would and starts the mode at its first point.
    void StartMode(std::int16_t mode, std::int32_t tool = 0, std::int32_t variation = 0);
    void Shoot(const API_Coord3D& point, std::int32_t code = 10);
    double Item(std::int16_t item) const;
    void SetItem(std::int16_t item, double value);

    // The measured-point markers in the project, and the elements that are no marker.
    std::size_t MarkersPlaced() const;
    std::size_t ElementsMade() const;

    // One letter per sound: 1 point taken, 2 completed, n no command, w angle snap.
    static std::string SoundLetters();

    std::unique_ptr<InProcessHost> host_;

private:
    Survanto* survanto_ = nullptr;
};

// Distinct points on a rising curve: no two at one place, no three in a line.
API_Coord3D NthPoint(int n);
