// What the stand-in solver takes from a deck: whether it is well formed, its nodes and
// elements, and the load steps (or load cases) whose results a real run would produce.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The temperature unit a deck's ".UNIT" lines choose; kelvin, the solver's own, without one.
enum class DeckTemperatureUnit { kKelvin, kCelsius, kFahrenheit };

// Room temperature (22 degrees Celsius) in the unit.
double RoomTemperature(DeckTemperatureUnit unit);

struct DeckSummary {
    bool readable = false;
    DeckTemperatureUnit temperatureUnit = DeckTemperatureUnit::kKelvin;
    std::vector<int> nodeIds;
    std::size_t elementCount = 0;
    // End time of each load step, or the load-case numbers when the deck has no step times.
    std::vector<double> stepTimes;
    std::vector<std::string> problems;  // each becomes an error marker in the listing
};

// Reads the deck file in large blocks; a file that cannot be read is one problem.
DeckSummary ReadDeck(const std::string& path);
// The same checks on a deck already in memory.
DeckSummary ReadDeckText(std::string_view text);
