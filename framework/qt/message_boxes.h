// The framework's message boxes as QMessageBoxes, on the GUI thread. A box never runs an event
// loop of its own: it is shown and the framework's loop (or a waiting worker) goes on; closing
// it by its OK button, Esc or its close box tells the framework.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <map>
#include <vector>

#include "framework/presenter.h"

class MessageBoxes {
public:
    MessageBoxes() = default;
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    // owner: the owner dialog's window, over which the box is centred; null for none.
    void Open(const MessageBoxState& box, QWidget* owner);
    // The framework closed it; it may not have been shown yet.
    void Close(int boxId);
    // The owner window is going: its boxes stay open on their own (a worker may still wait).
    void Orphan(QWidget* owner);

    QMessageBox* Find(int boxId) const;
    std::vector<int> OpenIds() const;

private:
    // Every box the framework opened and has not yet both shown and closed. A null entry waits
    // for its other half: the framework's close of a box the user closed, or the opening of a
    // box the framework closed before it was shown.
    std::map<int, QPointer<QMessageBox>> boxes_;
};
