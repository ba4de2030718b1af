#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/SystemUtilities.hpp"

namespace
{

constexpr const char* DownloadPage = "https://www.survanto.example/download";
constexpr const char* NewestVersionKey = "newest version: ";
constexpr std::size_t OwnVersionLength = 39;
// The page comes from the network: a longer version text is cut to this.
constexpr std::size_t PageVersionLength = 19;
constexpr double Margin = 0.00001;

constexpr std::int16_t DescriptionList = 32542;
constexpr std::int16_t DescriptionVersion = 2;
constexpr std::int32_t TextNewVersion = 59;
constexpr std::int32_t ButtonDownload = 60;
constexpr std::int32_t TextVersionNumbers = 61;

// A number, blanks or an opening parenthesis, then a build: number + build / 10000.
std::optional<double> NumberWithBuild(const std::string& text)
{
    double number = 0.0;
    int build = 0;
    if (std::sscanf(text.c_str(), "%lf%*[ (]%d", &number, &build) != 2) return std::nullopt;
    return number + build / 10000.0;
}

double PageVersionNumber(const std::string& text)
{
    if (const std::optional<double> value = NumberWithBuild(text)) return *value;
    double number = 0.0;
    if (std::sscanf(text.c_str(), "%lf", &number) != 1) number = 0.0;
    return 21.0 + number / 100.0;
}

// The description's version from its first blank on, leading blank included.
std::string OwnVersionText()
{
    const std::string description = RS::GetIndString(DescriptionList, DescriptionVersion, CurrentResourceModule()).ToUtf8();
    const std::size_t blank = description.find(' ');
    return blank == std::string::npos ? std::string() : description.substr(blank, OwnVersionLength);
}

struct NewestVersion
{
    bool found = false;
    std::string text;
};

NewestVersion FindNewestVersion(const std::string& page, double ownNumber)
{
    NewestVersion newest;
    double newestNumber = 0.0;
    const std::size_t keyLength = std::char_traits<char>::length(NewestVersionKey);
    for (std::size_t at = page.find(NewestVersionKey); at != std::string::npos; at = page.find(NewestVersionKey, at + 1))
    {
        const std::size_t start = at + keyLength;
        const std::size_t end = page.find('<', start + 1);
        if (end == std::string::npos) continue;
        const std::string text = page.substr(start, std::min(end - start, PageVersionLength));
        const double number = PageVersionNumber(text);
        if (number > ownNumber + Margin && number > newestNumber + Margin)
        {
            newestNumber = number;
            newest = {true, text};
        }
    }
    return newest;
}

std::string ReplacedEverywhere(std::string text, const std::string& marker, const std::string& by)
{
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + by.size()))
        text.replace(at, marker.size(), by);
    return text;
}

bool AskToDownload(const std::string& ownText, const std::string& newestText)
{
    const GSResModule module = CurrentResourceModule();
    const auto entry = [module](std::int32_t index) {
        return RS::GetIndString(static_cast<std::int16_t>(AlertStringListId), static_cast<std::int16_t>(index), module);
    };
    DG::AlertRecord alert;
    alert.type = AlertInformation;
    alert.title = entry(AlertInformationTitle);
    alert.text1 = entry(TextNewVersion);
    const std::string numbers =
        ReplacedEverywhere(ReplacedEverywhere(entry(TextVersionNumbers).ToUtf8(), "[vnum1]", ownText), "[vnum2]", newestText);
    alert.text2 = GS::UniString(numbers);
    alert.button1 = entry(ButtonDownload);
    alert.button2 = entry(AlertCancelButton);
    return DG::Alert(alert) == 1;
}

}  // namespace

void Survanto::CheckForUpdate()
{
    std::string page;
    if (!HttpGet(UpdatePageAddress().c_str(), page)) page.clear();
    const std::string ownText = OwnVersionText();
    const double ownNumber = NumberWithBuild(ownText).value_or(0.0);
    const NewestVersion newest = FindNewestVersion(page, ownNumber);
    if (newest.found && AskToDownload(ownText, newest.text)) RunCommand(DownloadPage);
}
