#ifndef NARRAVOX_FAKE_ECI_SETTINGS_H
#define NARRAVOX_FAKE_ECI_SETTINGS_H

#include <cstdint>
#include <string>
#include <vector>

namespace fake_eci {

// One planned failure: the entry point `name` fails on its call number `call`.
struct PlannedFailure {
  std::string name;
  int64_t call = 0;
  int32_t code = 2;
};

// What the environment asks of the fake (read at every eciNew).
struct Settings {
  std::string log_path;                  // NARRAVOX_FAKE_ECI_LOG
  std::vector<PlannedFailure> failures;  // NARRAVOX_FAKE_ECI_FAIL
  int32_t fill = 0;                      // NARRAVOX_FAKE_ECI_FILL; 0: the whole buffer
  bool mark = false;                     // NARRAVOX_FAKE_ECI_MARK
  bool no_audio = false;                 // NARRAVOX_FAKE_ECI_NO_AUDIO
  int32_t voices = 8;                    // NARRAVOX_FAKE_ECI_VOICES: the presets it has
  std::string hold_path;                 // NARRAVOX_FAKE_ECI_HOLD
};

Settings ReadSettings();

// Parses "name:n[:code][,name:n[:code]...]"; malformed items are skipped.
std::vector<PlannedFailure> ParseFailures(const std::string& text);

}  // namespace fake_eci

#endif
