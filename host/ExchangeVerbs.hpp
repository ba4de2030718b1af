#pragma once
#include "Scenario.hpp"

namespace SimHost
{

// The point-cloud program's side of the exchange file, played by scenarios:
//   annotation <uuid> <x y z w> [<ox oy oz ow>]   appends an annotation with one point
//   exchange-raw <text>                            the whole file ("\n" gives a line break)
//   exchange-folder read-only | writable           the folder's permission bits (0555 or 0755)
//   wait-newp [ms]                                 waits for a posted command and runs the event loop
// and its facts: exchange-annotations, alerts, sounds, commands-run.
void AddExchangeVerbs(ScenarioVerbs& verbs);
void AddExchangeFacts(const Host& host, Facts& facts);

// Where the point-cloud program writes: the parent of the host's special folder 7.
std::string ExchangeFilePath(const Host& host);

}  // namespace SimHost
