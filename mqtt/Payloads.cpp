#include "mqtt/Payloads.h"

#include "dmm/ReadingText.h"
#include "dmm/ReadingValue.h"
#include "output/Csv.h"
#include "output/Json.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

namespace qv::mqtt {
namespace {

using output::json::Member;
using output::json::number;
using output::json::string;

constexpr std::string_view kPrefixes = "pnumkMG";
constexpr std::size_t kPoints = 256;
constexpr double kUnitsPerDiv = 10;

/// "M ohm" and "kOhm" as the SI table names them ("MOhm").
std::string siName(const std::string &unit) {
    std::string out;
    for (const char c : unit)
        if (c != ' ')
            out += c;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    };
    if (out.size() >= 3 && std::equal(out.end() - 3, out.end(), "ohm", same))
        out.replace(out.size() - 3, 3, "Ohm");
    return out;
}

} // namespace

UnitAndMode unitAndMode(std::string_view unitField) {
    std::vector<std::string> words;
    std::istringstream in{std::string(unitField)};
    for (std::string w; in >> w;)
        words.push_back(w);
    UnitAndMode out;
    std::size_t used = 0;
    if (!words.empty()) {
        out.unit = words[0];
        used = 1;
        if (words.size() > 1 && words[0].size() == 1 &&
            kPrefixes.find(words[0][0]) != std::string_view::npos) {
            out.unit += " " + words[1];
            used = 2;
        }
    }
    for (std::size_t i = used; i < words.size(); ++i)
        out.mode += (out.mode.empty() ? "" : " ") + words[i];
    return out;
}

std::string readingUnit(std::string_view logLine) {
    const auto line = dmm::parseLogLine(logLine);
    return line ? unitAndMode(dmm::unitField(line->reading)).unit : std::string();
}

namespace {

/// The reading's members; record is the play-back mark ("No.5") or empty.
std::string payloadOf(std::string_view time, std::optional<std::string> reading,
                      std::string_view text, std::string_view record, std::string_view model) {
    const dmm::ReadingValue value = dmm::parseReading(reading.value_or(""));
    const UnitAndMode unit = unitAndMode(reading ? dmm::unitField(*reading) : "");
    std::vector<Member> m{{"time", string(time)},      {"value", number(value.value)},
                          {"unit", string(unit.unit)}, {"mode", string(unit.mode)},
                          {"text", string(text)},      {"model", string(model)}};
    if (const auto si =
            value.value ? output::inSi(*value.value, siName(unit.unit)) : std::nullopt) {
        m.push_back({"si", number(si->value)});
        m.push_back({"si_unit", string(si->unit)});
    }
    if (!record.empty())
        m.push_back({"record", string(record)});
    return output::json::object(m, "");
}

} // namespace

std::string readingPayload(std::string_view time, std::string_view logLine,
                           std::string_view model) {
    const auto line = dmm::parseLogLine(logLine);
    if (!line)
        return payloadOf(time, std::nullopt, dmm::trimBlanks(logLine), "", model);
    return payloadOf(time, line->reading, line->reading,
                     line->time.starts_with("No.") ? line->time : "", model);
}

std::string liveReadingPayload(std::string_view time, std::string_view reading,
                               std::string_view model) {
    return payloadOf(time, std::string(reading), reading, "", model);
}

std::string framePayload(std::string_view time, const common::Form &form,
                         const dso::Measurements &measurements) {
    const dso::ScaleTables tables;
    const auto settings = output::waveformSettings(output::waveformCsvInput(form, tables));
    std::optional<double> interval;
    for (const auto &s : settings)
        if (s.key == "sample_interval_s")
            interval = s.value;
    // The volts as the waveform CSV writes them: sample units x volts per division / 10.
    std::optional<double> voltsPerDiv;
    for (const auto &s : settings)
        if (s.key == "volts_per_div")
            voltsPerDiv = s.value;
    std::string volts = "[";
    for (std::size_t i = 0; i < kPoints; ++i) {
        const auto v =
            voltsPerDiv ? output::Csv::decimal(form.wave.WaveData[i] * *voltsPerDiv / kUnitsPerDiv)
                        : std::nullopt;
        if (i)
            volts += ',';
        volts += number(v);
    }
    volts += "]";
    return output::json::object(
        {{"time", string(time)},
         {"settings", output::json::object(output::json::settings(form), "")},
         {"measurements", output::json::object(output::json::measurements(form, measurements), "")},
         {"wave_measurements", output::json::object(output::json::waveMeasurements(form), "")},
         {"sample_interval_s", number(interval)},
         {"volts", volts}},
        "");
}

} // namespace qv::mqtt
