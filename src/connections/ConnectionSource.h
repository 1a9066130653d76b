#pragma once
// What a view offers the connection actions: the server its connection list
// belongs to, the program's own connection number there, and a way to tell
// it that rows were taken out. The user connections view and the file opens
// and locks view both offer it.

#include <QString>

namespace connections {

class ConnectionSource {
public:
    virtual ~ConnectionSource() = default;
    // The server the listed connections belong to (lblServer).
    virtual QString connectionServer() const = 0;
    // The program's own connection number on it in decimal (lblMyConnection);
    // empty when the view does not know it.
    virtual QString ownConnectionText() const = 0;
    // Rows were removed from the view's connection list.
    virtual void connectionRowsRemoved() {}
};

}  // namespace connections
