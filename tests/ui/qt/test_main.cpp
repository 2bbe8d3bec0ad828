// The one QApplication of the widget tests. Every test_*.cpp of this
// directory runs inside it; it is created before the first test and
// destroyed after the last. Tests run on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, with the DejaVu fonts of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = new QApplication(argc_, argv_);
        QApplication::setFont(QFont("DejaVu Sans", 9));
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    static inline int argc_ = 1;
    static inline char name_[] = "ui_qt_tests";
    static inline char* argv_[] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

[[maybe_unused]] const ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
