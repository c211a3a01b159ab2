#pragma once

// The project lock dialog: a password and a restart count for the processor.

#include <QDialog>

class DialogProjectLock : public QDialog
{
    Q_OBJECT
public:
    explicit DialogProjectLock(QWidget *parent = nullptr);
};
