#pragma once

#include <QDialog>
#include <QUrl>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace orvane {

namespace shell {
class ActivationWatcher;
}

// The About box: the configured name in the caption, the about text of the database,
// an author credit and a link to the author's web page.
class fAboutD : public QDialog
{
    Q_OBJECT
public:
    // `owner` keeps the box above that window; nullptr makes it a free window.
    explicit fAboutD(QWidget* owner = nullptr);

    static const char* const WebAddress; // as built; relative: a page of the program folder
    static const char* const CreditText;

    // Runs each time the box becomes the active window: the about text, its font, the
    // caption, and the focus out of the text.
    void Form_Activate();

    QPlainTextEdit* TextBox1;
    QLabel* Label1;
    QLineEdit* TextBox2;
    QLabel* Label3;
    QLabel* Label4;
    QFrame* Shape1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Label4_Click();

    shell::ActivationWatcher* m_activation;
    QUrl m_link;
};

} // namespace orvane
