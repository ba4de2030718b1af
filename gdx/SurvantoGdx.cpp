// The GDL extension of the add-on's library parts: it keeps the language the
// add-on tells it, for the parts' texts (1 German, 2 English, 3 French). The
// host's GDL interpreter keeps it loaded and reads the language back.
#include <atomic>
#include <cstdint>

namespace
{
std::atomic<std::uint16_t> languageCode {0};
}  // namespace

extern "C" __attribute__((visibility("default"))) void SetLanguageCode(std::uint16_t code) { languageCode = code; }

extern "C" __attribute__((visibility("default"))) std::uint16_t LanguageCode() { return languageCode; }
