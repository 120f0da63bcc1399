#pragma once

class QDialog;
class QDialogButtonBox;

// The "OK" (default) and "Cancel" buttons of the journal's small dialogs, named ButtonOk and
// ButtonCancel and wired to the dialog's accept() and reject().
QDialogButtonBox* AddOkCancelButtons(QDialog* dialog);
