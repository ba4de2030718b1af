#pragma once
#include <string>
#include <vector>

#include "MainObjectFixture.hpp"
#include "pointclouds/CloudPoint.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "pointclouds/PointFileSet.hpp"

// Points held in memory, delivered as a cloud in blocks of seven.
class PointList : public CloudPointSource
{
public:
    explicit PointList(std::vector<CloudPoint> points = {}) : points_(std::move(points)) {}
    void Deliver(PointFileSet& files) override;
    int deliveries = 0;

private:
    std::vector<CloudPoint> points_;
};

CloudPoint Point(double x, double y, double z, double r = 0, double g = 0, double b = 0, std::uint32_t level = 0);
PointCloudBox BoxOf(const std::vector<CloudPoint>& points);
std::vector<std::uint8_t> FileBytes(const std::string& path);

// An empty project whose loaded libraries hold the point-cloud template and a
// writable folder for the generated parts.
class PointCloudFixture : public MainObjectFixture
{
protected:
    void SetUp() override;

    IO::Location Target() const { return IO::Location(target_); }
    const std::string& TargetPath() const { return target_; }
    std::string TargetFile(const std::string& name) const { return target_ + "/" + name; }
    // The generated part of that name, null when there is none.
    const SimHost::LibraryPartEntry* Part(const std::string& name);
    std::string SectionText(const SimHost::LibraryPartEntry& part, const char (&type)[5]);
    // The parameter of the part's parameter section; fails the test when it is missing.
    API_AddParType PartParameter(const SimHost::LibraryPartEntry& part, const char* name);
    std::int32_t TemplateIndex();

    TempFolder folder_;

private:
    std::string target_;
};
