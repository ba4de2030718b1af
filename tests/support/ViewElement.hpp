#pragma once
#include <cstdint>
#include <vector>

#include "ProjectModel.hpp"

// A section, elevation or interior elevation on layer 1 as the host keeps one:
// two main-line points a segment along the line. Its distance line, which says
// the side it looks at, is the caller's.
inline SimHost::StoredElement ViewElementAlong(SimHost::ProjectModel& model, API_ElemTypeID type,
                                               const std::vector<API_Coord>& line)
{
    SimHost::StoredElement view;
    view.record.header.typeID = type;
    view.record.header.guid = model.NewGuid();
    view.record.header.layer = 1;
    view.record.cutPlane.segmentCount = static_cast<std::int32_t>(line.size() - 1);
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
    {
        view.memo.sectionSegments.push_back({2});
        view.memo.sectionMainCoords.push_back(line[i]);
        view.memo.sectionMainCoords.push_back(line[i + 1]);
    }
    return view;
}
