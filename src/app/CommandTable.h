#pragma once

#include "app/Command.h"

#include <span>
#include <string>
#include <vector>

namespace celdo {

// When a menu item or toolbar button is available.
enum class CommandAvailability {
    Always,
    WithImage,             // an active image window holding a picture
    WithClipboardImage,    // the clipboard offers a picture
    WithImageAndClipboard, // both
    WithUndo,              // the active window has a step to undo
    WithRedo,              // the active window has a step to redo
};

// How a menu item shows a check mark.
enum class CommandCheck {
    None,
    Tool,        // the current tool is the command's tool
    Zoom,        // the active canvas's zoom is the command's
    MaskMode,    // mask edit mode
    ImageMode,   // image edit mode
    MaskOff,     // the mask is disabled
    ToolBar,     // the toolbar is shown
    StatusBar,   // the status bar is shown
    ColourGroup, // the command's colour group is the current one
};

struct CommandInfo {
    Command id;
    const char* text; // menu text with its mnemonic and shown accelerator
    CommandAvailability availability;
    CommandCheck check;
};

// One entry of the main menu: a command, a separator or a popup.
struct MenuEntry {
    enum Kind { Command, Separator, Popup } kind = Command;
    // The kind `Command` hides the type's name inside this struct.
    celdo::Command command = celdo::Command::None;
    std::string text;               // popups only
    std::vector<MenuEntry> entries; // popups only
};

// Which frame the menu is built for.
enum class FrameVariant { MultipleDocument, SingleDocument };

// The command table: every command the main window knows, with its text and
// its enable and check rules.  Menus, accelerators and toolbar buttons are
// all built from it, for both builds.
class CommandTable {
public:
    // The command's entry, or null for commands without a menu text.
    static const CommandInfo* find(Command id);
    static const std::vector<CommandInfo>& all();

    // The popups of "MainMenu" in order.  The single-document build has no
    // "窓の操作" popup, so "パレット" moves from position 6 to 5.
    static std::vector<MenuEntry> mainMenu(FrameVariant variant);

    // The tool commands and the tool code each chooses.
    struct ToolCommand {
        Command command;
        int tool;
    };
    static std::span<const ToolCommand> toolCommands();
    // The tool a tool command chooses, or -1 for other commands.
    static int toolForCommand(Command command);
    // The zoom code (-5 … 7) of a zoom command, or nothing (-100).
    static int zoomCodeForCommand(Command command);
    static constexpr int NoZoom = -100;
    // The command of a zoom code, or None when the code names no zoom.
    static Command commandForZoomCode(int code);

    // Accelerators of "KEYACCEL": key text in Qt's portable form -> command.
    struct Accelerator {
        const char* key;
        Command command;
    };
    static const std::vector<Accelerator>& accelerators();
};

} // namespace celdo
