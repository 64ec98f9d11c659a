#include "framework/qt/message_boxes.h"

#include "framework/window_styles.h"

namespace {

QMessageBox::Icon IconFor(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

MessageBoxes::~MessageBoxes() {
    for (auto& [id, box] : boxes_) {
        delete box.data();
    }
}

void MessageBoxes::Open(const MessageBoxState& state, QWidget* owner) {
    if (auto early = boxes_.find(state.id); early != boxes_.end()) {
        boxes_.erase(early);
        return;
    }
    auto* box = new QMessageBox(IconFor(state.type), QString::fromStdString(state.caption),
                                QString::fromStdString(state.text), QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    const int id = state.id;
    QObject::connect(box, &QDialog::finished, box, [this, id, box] {
        auto it = boxes_.find(id);
        if (it == boxes_.end() || it->second != box) {
            return;  // the framework closed it
        }
        it->second = nullptr;
        box->deleteLater();
        ::CloseMessageBox(id, IDOK);
    });
    boxes_[id] = box;
    box->show();
}

void MessageBoxes::Close(int boxId) {
    auto it = boxes_.find(boxId);
    if (it == boxes_.end()) {
        boxes_.emplace(boxId, nullptr);
        return;
    }
    // Not in the box's own handlers here (those leave a null entry), so it can go at once; a
    // deferred delete posted outside an event loop would wait for a loop that never runs.
    delete it->second.data();
    boxes_.erase(it);
}

void MessageBoxes::Orphan(QWidget* owner) {
    for (auto& [id, box] : boxes_) {
        if (box && box->parentWidget() == owner) {
            const QPoint at = box->pos();
            box->setParent(nullptr, box->windowFlags());
            box->move(at);
            box->show();
        }
    }
}

QMessageBox* MessageBoxes::Find(int boxId) const {
    auto it = boxes_.find(boxId);
    return it == boxes_.end() ? nullptr : it->second.data();
}

std::vector<int> MessageBoxes::OpenIds() const {
    std::vector<int> ids;
    for (const auto& [id, box] : boxes_) {
        if (box) {
            ids.push_back(id);
        }
    }
    return ids;
}
