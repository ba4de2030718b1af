#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "ExchangeVerbs.hpp"
#include "InProcessHost.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MeasuringState.hpp"

// A started host with the add-on linked in, and the exchange file PointCab writes.
class PointCabTest : public ::testing::Test
{
protected:
    PointCabTest() : host_(Options(folder_.path())) {}

    static SimHost::Host::Options Options(const std::string& work)
    {
        SimHost::Host::Options options;
        options.workFolder = work;
        return options;
    }

    SimHost::Host& host() { return host_.host(); }
    Survanto& survanto() { return *theSurvanto.load(); }
    std::string exchangePath() { return SimHost::ExchangeFilePath(host()); }

    // As PointCab writes: the whole file beside it, then in its place.
    void WriteExchange(const std::string& content)
    {
        const std::string aside = exchangePath() + ".writing";
        std::ofstream(aside, std::ios::binary | std::ios::trunc) << content;
        std::filesystem::rename(aside, exchangePath());
    }

    std::string ReadExchange()
    {
        std::ifstream in(exchangePath(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Ids no earlier test has taken: the ring of taken ids lives as long as the process.
    static std::string FreshId()
    {
        static std::mt19937_64 random {std::random_device {}()};
        return "{" + std::to_string(random()) + "}";
    }

    static std::string Point(const std::string& id, const std::string& point, const std::string& origin = "0 0 0 0")
    {
        return "<Element type=\"point\" uuid=\"" + id + "\"><Point3d>" + point + "</Point3d><Origin3d>" + origin +
               "</Origin3d></Element>";
    }

    static std::string Document(const std::string& annotations)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PointCabExchange>\n" + annotations + "\n</PointCabExchange>\n";
    }

    static std::string Annotation(const std::string& content) { return "<Annotation>" + content + "</Annotation>"; }

    static std::size_t Count(const std::string& text, const std::string& what)
    {
        std::size_t count = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
        return count;
    }

    TempFolder folder_;
    InProcessHost host_;
};
