#include "FillElements.hpp"

#include <sstream>
#include <string>
#include <vector>

#include "Host.hpp"

namespace SimHost
{

namespace
{

// Rings of at least three corners, each closed by repeating its first corner.
bool ReadFill(std::istringstream& args, API_ElementMemo& memo)
{
    std::vector<std::vector<API_Coord>> rings(1);
    std::vector<double> numbers;
    auto takeCorners = [&]() {
        if (numbers.size() % 2 != 0) return false;
        for (std::size_t i = 0; i < numbers.size(); i += 2) rings.back().push_back({numbers[i], numbers[i + 1]});
        numbers.clear();
        return true;
    };
    std::vector<API_PolyArc> arcs;
    for (std::string word; args >> word;)
    {
        double value = 0.0;
        if (word == "hole")
        {
            if (!takeCorners()) return false;
            rings.emplace_back();
        }
        else if (word == "arc")
        {
            double vertex = 0.0, angle = 0.0;
            std::string v, a;
            if (!(args >> v >> a) || !ReadNumberWord(v, vertex) || !ReadNumberWord(a, angle)) return false;
            arcs.push_back({static_cast<std::int32_t>(vertex), static_cast<std::int32_t>(vertex) + 1, angle});
        }
        else if (ReadNumberWord(word, value))
        {
            numbers.push_back(value);
        }
        else
        {
            return false;
        }
    }
    if (!takeCorners()) return false;
    memo.coords = {API_Coord {}};
    memo.pends = {0};
    for (const auto& ring : rings)
    {
        if (ring.size() < 3) return false;
        memo.coords.insert(memo.coords.end(), ring.begin(), ring.end());
        memo.coords.push_back(ring.front());
        memo.pends.push_back(static_cast<std::int32_t>(memo.coords.size() - 1));
    }
    for (const API_PolyArc& arc : arcs)
        if (arc.begIndex < 1 || arc.endIndex >= static_cast<std::int32_t>(memo.coords.size())) return false;
    memo.parcs = arcs;
    return true;
}

bool AddDrawnElement(Scenario& s, StoredElement element)
{
    ProjectModel& model = s.GetHost()->model_;
    element.record.header.guid = model.NewGuid();
    element.record.header.floorInd = model.currentStorey;
    const GSErrCode result = model.RunUndoable([&] {
        model.content.elements.push_back(element);
        model.MarkChanged();
        return NoError;
    });
    return result == NoError || s.Fail("the host refused the element");
}

}  // namespace

bool ReadNumberWord(const std::string& word, double& value)
{
    std::istringstream in(word);
    return (in >> value) && (in >> std::ws).eof();
}

void AddFillVerbs(ScenarioVerbs& verbs)
{
    verbs["add-fill"] = [](Scenario& s, std::istringstream& args) {
        if (s.GetHost() == nullptr) return s.Fail("this action needs a started host");
        StoredElement fill;
        fill.record = s.GetHost()->model_.DefaultsFor(API_HatchID, 0).record;
        if (!ReadFill(args, fill.memo))
            return s.Fail("add-fill <x1> <y1> <x2> <y2> <x3> <y3> [...] [hole <x> <y> ...] [arc <vertex> <angle>]...");
        fill.record.header.hasMemo = true;
        fill.record.hatch.poly = {static_cast<std::int32_t>(fill.memo.coords.size() - 1),
                                  static_cast<std::int32_t>(fill.memo.pends.size() - 1),
                                  static_cast<std::int32_t>(fill.memo.parcs.size())};
        return AddDrawnElement(s, std::move(fill));
    };
    verbs["add-hotspot"] = [](Scenario& s, std::istringstream& args) {
        if (s.GetHost() == nullptr) return s.Fail("this action needs a started host");
        StoredElement hotspot;
        hotspot.record = s.GetHost()->model_.DefaultsFor(API_HotspotID, 0).record;
        if (!(args >> hotspot.record.hotspot.position.x >> hotspot.record.hotspot.position.y) || !Scenario::Rest(args).empty())
            return s.Fail("add-hotspot <x> <y>");
        return AddDrawnElement(s, std::move(hotspot));
    };
}

}  // namespace SimHost
