#include "ReplacedServices.hpp"

#include <algorithm>
#include <iterator>

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

// The add-on keeps calling through the table it was given until it gets
// another one, even while its host shuts down: it lives as long as the process.
HostServiceTable served {};
HostServiceTable hostOwn {};
std::vector<std::pair<HostSlot, HostServiceFn>> replacements;

GSErrCode TakeHostTable(std::int32_t formatVersion, const HostServiceTable* table)
{
    std::copy(std::begin(*table), std::end(*table), std::begin(hostOwn));
    std::copy(std::begin(*table), std::end(*table), std::begin(served));
    for (const auto& [slot, function] : replacements) served[static_cast<std::size_t>(slot)] = function;
    return SetImportedFuncAddrs(formatVersion, &served);
}

}  // namespace

HostServiceFn ReplacedServices::ReplaceSlot(HostSlot slot, HostServiceFn replacement)
{
    replacements.emplace_back(slot, replacement);
    host_.LoadStatic({GetExportedFuncAddrs, TakeHostTable});
    return hostOwn[static_cast<std::size_t>(slot)];
}

ReplacedServices::~ReplacedServices()
{
    replacements.clear();
    host_.LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
}
