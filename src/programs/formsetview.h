#pragma once

// The device settings page: the device's stored programs (list, read, recall,
// store, delete, reset), program and collection files, and the logo upload.

#include <QWidget>

class QCloseEvent;

class FormSetView : public QWidget
{
    Q_OBJECT
public:
    explicit FormSetView(QWidget *parent = nullptr);

signals:
    // Asks the main window to connect to the current device.
    void sendconnect();
    // Asks the main window to reload every page.
    void updataallviews();

public slots:
    // Refreshes the page from the current device.
    void refreshdata();
    // "Refresh Programs List": reads the names of the stored programs again.
    void on_btn_ref1_clicked();
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormSetView *gFormSetView;
