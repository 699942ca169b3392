// What the preference dialogs share: the relabelled standard buttons and the link labels.
#pragma once

#include <QString>

class QDialogButtonBox;
class QLabel;

namespace prefdialog {

// Gives the box's OK, Cancel and Apply buttons (those it has) the given texts.
void RelabelButtons(QDialogButtonBox* box, const QString& ok, const QString& cancel, const QString& apply);
// Makes `label` a link showing `text`.
void SetLink(QLabel* label, const QString& text);

} // namespace prefdialog
