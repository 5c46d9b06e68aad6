#include "app/lock_question.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "qtbridge/local_text.h"

namespace brantel {

TableChoice AskAboutKeptTable(const std::string& iniPath, const LockOwner& owner, QWidget* parent) {
    const QString title = QApplication::applicationName();
    QMessageBox box(QMessageBox::Warning, title,
                    QString("%1 is in use by another %2 window (process %3 on %4).\n\n"
                            "Read-only, this window never saves its command table, so the table "
                            "the other window keeps is not overwritten. Save anyway, and the "
                            "window closed last decides what the table holds.")
                        .arg(FromBytes(iniPath), title)
                        .arg(owner.pid)
                        .arg(FromBytes(owner.host)),
                    QMessageBox::NoButton, parent);
    QPushButton* readOnly = box.addButton("Open Table Read-Only", QMessageBox::RejectRole);
    readOnly->setObjectName("ReadOnlyButton");
    QPushButton* saveAnyway = box.addButton("Save Anyway", QMessageBox::DestructiveRole);
    saveAnyway->setObjectName("SaveAnywayButton");
    box.setDefaultButton(readOnly);
    box.setEscapeButton(readOnly);
    box.exec();
    return box.clickedButton() == saveAnyway ? TableChoice::kSaveAnyway : TableChoice::kReadOnly;
}

}  // namespace brantel
