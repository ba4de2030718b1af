#include "API/Types.hpp"

API_Guid GSGuid2APIGuid(const GS::Guid& guid)
{
    const auto& p = guid.GetParts();
    API_Guid g;
    g.time_low = p.data1;
    g.time_mid = p.data2;
    g.time_hi_and_version = p.data3;
    g.clock_seq[0] = p.data4[0];
    g.clock_seq[1] = p.data4[1];
    for (int i = 0; i < 6; ++i) g.node[i] = p.data4[2 + i];
    return g;
}

GS::Guid APIGuid2GSGuid(const API_Guid& g)
{
    GS::Guid::Parts p;
    p.data1 = g.time_low;
    p.data2 = g.time_mid;
    p.data3 = g.time_hi_and_version;
    p.data4[0] = g.clock_seq[0];
    p.data4[1] = g.clock_seq[1];
    for (int i = 0; i < 6; ++i) p.data4[2 + i] = g.node[i];
    return GS::Guid(p);
}
