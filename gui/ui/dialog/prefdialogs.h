// What the preference dialogs share: the relabelled standard buttons, what a click on one of
// them does, and the link labels.
#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QDialog;
class QDialogButtonBox;
class QLabel;

namespace prefdialog {

// The input mask of a port field: up to five digits.
constexpr const char* kPortMask = "00000;";

// Gives the box's OK, Cancel and Apply buttons (those it has) the given texts.
void RelabelButtons(QDialogButtonBox* box, const QString& ok, const QString& cancel, const QString& apply);
// Answers a click on `button` of the dialog's `box`: OK applies and closes the dialog when
// `apply` succeeds, Cancel closes it, Apply applies; other buttons do nothing. What OK or Apply
// applied is written to the settings store of the application's record at once; a store that
// cannot be written is told in a warning box over the dialog. `stored`, when given, is told
// whether the store was written and tells the user itself (WarnUnsaved).
void AnswerButton(QDialog* dialog, QDialogButtonBox* box, QAbstractButton* button, const std::function<bool()>& apply,
                  const std::function<void(bool written)>& stored = {});
// The warning box over `dialog` for a store that could not be written: `text` names the store
// file as %1; empty, the common text (the new values stay in force until the program ends).
void WarnUnsaved(QDialog* dialog, const QString& text = {});
// Makes `label` a link showing `text`.
void SetLink(QLabel* label, const QString& text);

} // namespace prefdialog
