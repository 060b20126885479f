#pragma once

#include <QMainWindow>

// The program's main window. For now it only carries the fixed title; the tree
// and the record editor come with the window's full build-out.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
};
