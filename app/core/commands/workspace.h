// The main window's state without any window: programmer and chip choices,
// the current chip parameters, the programming list with its extent, the
// modified mark, the project binding and the bound driver. The GUI and the
// command-line tool both drive it through the functions below; every message
// goes through IUserPrompt.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "list/address_math.h"
#include "files/chip_table.h"
#include "binding/driver_binding.h"
#include "files/ini_file.h"
#include "messages/messages.h"
#include "list/programming_list.h"
#include "messages/user_prompt.h"

namespace commands {

struct Workspace {
    // Configuration "Sonmira.INI"; released (null) by the exit routine, after
    // which nothing writes to it.
    std::unique_ptr<files::CIniFile> config;
    std::string programDir;     // where driver libraries are looked for (trailing '/')
    std::string chipTablePath;  // "sound.dat"

    std::vector<std::string> programmers;  // ComProgram entries
    int programmerIndex = -1;              // -1: nothing selected
    std::vector<std::string> chips;        // ComChip entries of the selected programmer
    int chipIndex = -1;

    // Chip profile as the table scan leaves it.
    files::ChipProfile chip;

    bool autoAddressing = true;  // CheckAuto
    bool editorEnabled = false;  // EDIT: editing with the external editor allowed
    std::string editorPath;      // EditPath: the editor program, empty when not allowed
    list::ProgrammingList list;
    int64_t extent = 0;  // last computed list extent in ms (gauge position)
    bool modified = false;
    bool bound = false;       // project binding
    std::string projectPath;  // bound project file

    binding::DriverBinding drivers;
    // The last binding failed and its message was shown: a command finding
    // no driver then has nothing more to tell.
    bool driverFailureShown = false;

    // Length of an audio file in ms (0 when it cannot be opened). The GUI and
    // the CLI set it to the audio player's length query.
    list::LengthQuery lengthOf;
    // Puts back the wave device volume found at start-up (exit routine).
    std::function<void()> restoreVolume;

    // The command-line tool edits lists without talking to a module: it
    // clears this so no driver library is loaded; a run clears it while it
    // prepares the workspace, then binds once.
    bool bindDrivers = true;
    bool exitDone = false;
};

// Selected names; empty when nothing is selected.
std::string ProgrammerName(const Workspace& w);
std::string ChipName(const Workspace& w);

// Start-up from the configuration: AUTO, programmer types, the saved
// programmer (programmer change step: chips, driver) and chip (apply chip
// selection). `config` may name a missing file: everything then defaults.
void StartUp(Workspace& w, std::unique_ptr<files::CIniFile> config, const std::string& program_dir,
             const std::string& chip_table_path, messages::IUserPrompt& ui);

// Programmer change step for the selected programmer: fill the chip names from
// its section and select the last, then bind its driver library.
// An empty programmer name does nothing.
void ProgrammerChangeStep(Workspace& w, messages::IUserPrompt& ui);

// Unbinds, then binds the selected programmer's driver library ("File"); a
// library that cannot be loaded shows MsgId::DriverFileNotFound with the
// reason on a second line. Does nothing while bindDrivers is clear.
void BindProgrammerDriver(Workspace& w, messages::IUserPrompt& ui);

// Reads the chip table for the selected chip into the profile, then
// recomputes the extent. A missing table changes nothing; a number that does
// not convert shows the conversion error and ends the step.
void ApplyChipSelection(Workspace& w, messages::IUserPrompt& ui);

// The user picks programmer `index` (change step, then apply chip selection).
// An index outside the list leaves nothing selected.
void SelectProgrammer(Workspace& w, int index, messages::IUserPrompt& ui);
// The user picks chip `index` (apply chip selection only; no rebinding).
void SelectChip(Workspace& w, int index, messages::IUserPrompt& ui);
// Select by name (project loading): the first equal entry, else the last
// entry. The programmer runs the change step; the chip reads the chip table
// but leaves the extent recompute to the caller (loading does it once).
void SelectProgrammerByName(Workspace& w, const std::string& name, messages::IUserPrompt& ui);
void SelectChipByName(Workspace& w, const std::string& name, messages::IUserPrompt& ui);

// CheckAuto clicked: flag set and key AUTO written at once.
void SetAutoAddressing(Workspace& w, bool on);

// Recomputes the extent; shows ListOverCapacity when it exceeds the capacity.
// False when a cell did not convert: the conversion error was shown, or
// bad_cell_msg when given; the extent keeps its value.
bool RecomputeExtent(Workspace& w, messages::IUserPrompt& ui,
                     std::optional<messages::MsgId> bad_cell_msg = std::nullopt);

}  // namespace commands
