#pragma once

#include <QMainWindow>
#include <QUrl>

#include "ui/web_panel.h"

class QAction;
class QLineEdit;
class QPushButton;

namespace trelvik {

class TextWindow;

// The main window: two calculator rows (FAT32 and NTFS), their labels, the
// Qinvo menu, and the web panel along the bottom.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // `startPage` is the page the web panel shows.
  explicit Form1(const QUrl& startPage = StartPage(), QWidget* parent = nullptr);

  // Runs once, before the window is first shown: requests the start page.
  void load();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void setupWindow();
  void setupLabels();
  void setupBoxes();
  void setupButtons();
  void setupWebPanelArea();
  void setupTabOrder();
  void setupMenu();

  void onCommand1Clicked();
  void onCommand2Clicked();
  void onHelpTriggered();
  void onAboutTriggered();
  void onMenuBarKeyTriggered();
  void onExitTriggered();

  QWidget* client_ = nullptr;
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QLineEdit* text4_ = nullptr;
  QPushButton* command1_ = nullptr;
  QPushButton* command2_ = nullptr;
  WebPanel* webBrowser1_ = nullptr;
  TextWindow* helpWindow_ = nullptr;
  TextWindow* aboutWindow_ = nullptr;
  QUrl startPage_;
};

}  // namespace trelvik
