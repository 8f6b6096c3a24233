#pragma once
// The splash screen shown while the main window starts: a dialog-bordered
// window, caption "XML:Plivek", centred on the screen, whose 357 by 356 pixel
// client area shows the product picture. Only TMainForm::FormShow shows and
// hides it.

#include <QDialog>

class TSplashScreen : public QDialog {
  Q_OBJECT
public:
  static constexpr int PictureWidth = 357;
  static constexpr int PictureHeight = 356;

  explicit TSplashScreen(QWidget* parent = nullptr);

  // Centres the window on the screen it is on.
  void CenterOnScreen();

protected:
  void paintEvent(QPaintEvent* event) override;
};

// The one splash screen (created at start-up with the other forms).
extern TSplashScreen* SplashScreen;
