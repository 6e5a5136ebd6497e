#pragma once

#include <QDialog>

namespace drunvale {

// "О Drunvale": the icon, the version line and the warranty disclaimer. OK, Esc and the close
// box all end it with the result 1.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kClosedResult = 1;

  explicit AboutDialog(QWidget* parent = nullptr);

  static const char* Disclaimer();

 public slots:
  void reject() override { done(kClosedResult); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool placed_ = false;
};

}  // namespace drunvale
