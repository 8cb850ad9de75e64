#include "programme/rows/KeyTable.h"

#include <algorithm>
#include <iterator>

namespace {

bool IsTypeAhead(int key) { return (key >= Qt::Key_1 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z); }

KeyDecision Gridkeys(const KeyContext &s, bool ctrl) {
    KeyDecision d{KeyCommand::None, {}, true, true};
    const bool groups = ctrl && s.page == KeyPage::Dances;
    // In the memo editor these keys move its caret.
    if (s.gridMemoFocus && s.key != Qt::Key_F10) {
        d.taken = false;
        return d;
    }
    switch (s.key) {
    case Qt::Key_Home: d.command = KeyCommand::GridFirst; break;
    case Qt::Key_End: d.command = KeyCommand::GridLast; break;
    case Qt::Key_PageUp: d.command = KeyCommand::GridPageUp; break;
    case Qt::Key_PageDown: d.command = KeyCommand::GridPageDown; break;
    case Qt::Key_Up: d.command = groups ? KeyCommand::GridPriorGroup : KeyCommand::GridPrior; break;
    case Qt::Key_Down: d.command = groups ? KeyCommand::GridNextGroup : KeyCommand::GridNext; break;
    case Qt::Key_F10: d.command = KeyCommand::PreviousPage; break;
    default: d.taken = false;
    }
    return d;
}

KeyDecision EventKeys(const KeyContext &s, bool shift, bool ctrl) {
    KeyDecision d{KeyCommand::None, {}, true, true};
    auto pick = [&](KeyCommand plain, KeyCommand withShift, KeyCommand withCtrl) {
        d.command = ctrl ? withCtrl : shift ? withShift : plain;
    };
    switch (s.key) {
    case Qt::Key_Up: pick(KeyCommand::RowPrior, KeyCommand::RowMoveUp, KeyCommand::SessionPrior); break;
    case Qt::Key_Down: pick(KeyCommand::RowNext, KeyCommand::RowMoveDown, KeyCommand::SessionNext); break;
    case Qt::Key_PageUp: pick(KeyCommand::RowPageUp, KeyCommand::RowMovePageUp, KeyCommand::None); break;
    case Qt::Key_PageDown: pick(KeyCommand::RowPageDown, KeyCommand::RowMovePageDown, KeyCommand::None); break;
    case Qt::Key_Home: pick(KeyCommand::RowFirst, KeyCommand::None, KeyCommand::None); break;
    case Qt::Key_End: pick(KeyCommand::RowLast, KeyCommand::None, KeyCommand::None); break;
    case Qt::Key_Left: pick(KeyCommand::EventPrior, KeyCommand::EventFirst, KeyCommand::EventPriorOfOrg); break;
    case Qt::Key_Right: pick(KeyCommand::EventNext, KeyCommand::EventLast, KeyCommand::EventNextOfOrg); break;
    case Qt::Key_Insert: pick(KeyCommand::InsertDance, KeyCommand::None, KeyCommand::None); break;
    case Qt::Key_Delete: pick(KeyCommand::DeleteRow, KeyCommand::None, KeyCommand::None); break;
    case Qt::Key_F10: pick(KeyCommand::Details, KeyCommand::None, KeyCommand::None); break;
    default:
        if (!IsTypeAhead(s.key)) {
            d.taken = false;
            break;
        }
        d.command = s.danceRowSelected ? KeyCommand::ChooseForRow : KeyCommand::FindEvent;
        d.typed = shift ? QChar(u'!') : QChar(s.key);
    }
    return d;
}

KeyDecision DanceKeys(const KeyContext &s, bool shift, bool ctrl) {
    KeyDecision d{KeyCommand::None, {}, true, true};
    auto pick = [&](KeyCommand plain, KeyCommand withShift, KeyCommand withCtrl) {
        d.command = ctrl ? withCtrl : shift ? withShift : plain;
    };
    switch (s.key) {
    case Qt::Key_Left: pick(KeyCommand::DancePrior, KeyCommand::DanceFirst, KeyCommand::DancePriorInProgramme); break;
    case Qt::Key_Right: pick(KeyCommand::DanceNext, KeyCommand::DanceLast, KeyCommand::DanceNextInProgramme); break;
    case Qt::Key_Home: d.command = KeyCommand::DanceFirst; break;
    case Qt::Key_End: d.command = KeyCommand::DanceLast; break;
    case Qt::Key_F10: d.command = KeyCommand::PreviousPage; break;
    case Qt::Key_QuoteDbl:
        d.command = KeyCommand::FindDance;
        d.typed = QChar(u'"');
        break;
    default:
        if (IsTypeAhead(s.key)) {
            d.command = KeyCommand::FindDance;
            d.typed = QChar(s.key);
        } else {
            d.taken = false;
        }
    }
    return d;
}

} // namespace

KeyDecision DecideKey(const KeyContext &s) {
    const bool shift = s.modifiers & Qt::ShiftModifier;
    const bool ctrl = s.modifiers & Qt::ControlModifier;
    if (s.newTextShowing) {
        switch (s.key) {
        case Qt::Key_Up:
        case Qt::Key_Down: return {KeyCommand::HideNewText, {}, false, false};
        case Qt::Key_Escape: return {KeyCommand::HideNewText, {}, true, false};
        case Qt::Key_Return:
        case Qt::Key_Enter: return {KeyCommand::NewTextEnter, {}, true, false};
        default: return {};
        }
    }
    const bool shiftInsert = shift && s.key == Qt::Key_Insert;
    if (shiftInsert && s.memoFocus) return {KeyCommand::PasteMemo, {}, true, false};
    if ((s.modifiers & Qt::AltModifier) || s.splashShowing || shiftInsert) return {};
    if (ctrl) {
        static const int ctrlKeys[] = {Qt::Key_End, Qt::Key_Home, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down};
        if (std::find(std::begin(ctrlKeys), std::end(ctrlKeys), s.key) == std::end(ctrlKeys)) return {};
    }
    if (s.gridShowing) return Gridkeys(s, ctrl);
    if (s.fieldEntered) {
        if (!s.popListShowing) return {};
        switch (s.key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return {KeyCommand::PickEnter, {}, true, true};
        case Qt::Key_Down: return {KeyCommand::PickDown, {}, true, true};
        case Qt::Key_Up: return {KeyCommand::PickUp, {}, true, true};
        default: return {};
        }
    }
    switch (s.page) {
    case KeyPage::Events:
        if (s.memoFocus) return {};
        return EventKeys(s, shift, ctrl);
    case KeyPage::Dances: return DanceKeys(s, shift, ctrl);
    case KeyPage::Recordings:
        if (ctrl && s.key == Qt::Key_Down) return {KeyCommand::RecordingsNextFolder, {}, true, true};
        if (ctrl && s.key == Qt::Key_Up) return {KeyCommand::RecordingsPriorFolder, {}, true, true};
        return {};
    case KeyPage::Folders:
        if (s.key == Qt::Key_F5) return {KeyCommand::FoldersRefill, {}, true, true};
        return {};
    case KeyPage::Rules: return {};
    }
    return {};
}

int PageRow(const QList<int> &heights, int from, int areaHeight, bool down) {
    const int step = down ? 1 : -1;
    int at = from;
    int sum = 0;
    for (int next = from + step; next >= 0 && next < heights.size(); next += step) {
        sum += heights[next];
        if (sum > areaHeight) break;
        at = next;
    }
    return at;
}

bool TextBoxKeepsKey(QKeyCombination key) {
    static const QKeyCombination kept[] = {
        Qt::CTRL | Qt::Key_X,       Qt::CTRL | Qt::Key_C,       Qt::CTRL | Qt::Key_V,        Qt::CTRL | Qt::Key_A,
        Qt::SHIFT | Qt::Key_Delete, Qt::CTRL | Qt::Key_Insert,  Qt::SHIFT | Qt::Key_Insert};
    const QKeyCombination plain(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key());
    return std::find(std::begin(kept), std::end(kept), plain) != std::end(kept);
}

bool WindowKeyWins(QKeyCombination key, const QList<QKeySequence> &windowKeys) {
    if (!(key.keyboardModifiers() & Qt::ControlModifier) || TextBoxKeepsKey(key)) return false;
    const QKeySequence pressed(QKeyCombination(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key()));
    return windowKeys.contains(pressed);
}
