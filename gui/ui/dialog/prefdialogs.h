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
// cannot be written is told in a warning box over the dialog.
void AnswerButton(QDialog* dialog, QDialogButtonBox* box, QAbstractButton* button, const std::function<bool()>& apply);
// Makes `label` a link showing `text`.
void SetLink(QLabel* label, const QString& text);

} // namespace prefdialog
