// The built-in ways of asking: the Qt file dialog and the message box.
#include "tesk_capture_fixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace tesk::testing {
namespace {

using DefaultQuestions = CaptureTest;

// Runs `act` on the first modal widget of type W once it is up.
template <typename W>
void whenModal(std::function<void(W&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* widget = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!widget) return;
        timer->stop();
        timer->deleteLater();
        act(*widget);
    });
    timer->start();
}

TEST_F(DefaultQuestions, FileDialogChoosesTheCaptureFile) {
    capture->setFileAsker({});
    const std::string chosen = path("chosen.avi");
    QString title;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        // Typed into the name field as a user would; selectFile() may be undone by the dialog's
        // asynchronous folder loading.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(chosen));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept through the public slot
    });
    EXPECT_TRUE(capture->DLGSETCAPTUREFILE());
    EXPECT_EQ(title, "Set Capture File");
    EXPECT_EQ(capture->GETCAPTUREFILE(), chosen);
    whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(capture->DLGSETCAPTUREFILE());
    EXPECT_EQ(capture->GETCAPTUREFILE(), chosen);
}

TEST_F(DefaultQuestions, MessageBoxShowsTheText) {
    capture->setMessageFunction({});
    QString text;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        box.accept();
    });
    EXPECT_FALSE(capture->GRABFRAME());
    EXPECT_TRUE(text.startsWith("No capture driver is connected")) << text.toStdString();
}

}  // namespace
}  // namespace tesk::testing
