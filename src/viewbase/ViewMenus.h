#pragma once
// The pop-up menus of the views. They are part of the main window's menu
// tree for the whole run (hidden in the menu bar unless a view shows its
// menu there while it is active), so that their items keep their state and
// their objectNames between views.

class QAction;
class QMenu;
class QMenuBar;

namespace views {

struct ViewMenus {
    QMenu* userConnections = nullptr;  // "&User Connections"
    QAction* sendMessage = nullptr;
    QAction* showOpenFiles = nullptr;
    QAction* clearConnection = nullptr;
    QAction* chooseColumns = nullptr;  // hidden until the column chooser exists
    QMenu* setCommands = nullptr;      // "S&et Commands"
    QAction* removeColumn = nullptr;
    QAction* markSetDifferences = nullptr;  // checkable, on
    QAction* addPastSetColumn = nullptr;    // a server as it was, from the history
    QMenu* nlmCommands = nullptr;           // "&NLM Commands"
    QAction* removeServer = nullptr;
    QAction* markNlmDifferences = nullptr;  // checkable, on
    QAction* addPastNlmColumns = nullptr;   // a server as it was, from the history
    QMenu* partitions = nullptr;            // "&Partitions"
    QAction* removePartitionColumn = nullptr;
};

// Adds the pop-up menus to the end of the menu bar, hidden.
ViewMenus addViewMenus(QMenuBar& bar);

}  // namespace views
