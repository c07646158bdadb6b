#include "app/MessageBoxPresenter.h"

#include <QMessageBox>

void QtMessageBoxPresenter::Warn(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}
