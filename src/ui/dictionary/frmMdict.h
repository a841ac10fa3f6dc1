#pragma once

#include "core/dictionary/KeyInput.h"
#include "core/dictionary/Search.h"

#include <QWidget>

class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvane {

namespace dictionary {
class ResultListModel;
} // namespace dictionary

class ResultList;

// The dictionary window: three search boxes with their "OK" buttons, the result list,
// the entry box, and the buttons of the character picker, help and the About box.
class frmMdict : public QWidget
{
    Q_OBJECT
public:
    explicit frmMdict(QWidget* parent = nullptr);

    // Runs on every activation: reconnect, then load and apply the display settings.
    // Public so that the benchmark can time it.
    void Form_Activate();

    // The box the character picker appends to.
    QLineEdit* nativeScriptBox() const { return TextBox1; }

    // A look-up from outside: the text goes into the search box that fits it, that box's
    // button is pressed and the first hit shown. Before the window's first activation
    // has connected the database, it waits for it.
    void lookUp(const QString& text);

signals:
    // "#" and "About": the window registry opens them, owned by this window.
    void pickerRequested();
    void aboutRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One search box with its button and what sets its search apart.
    struct SearchBox
    {
        QLineEdit* box;
        QPushButton* button;
        const dictionary::SearchKind* kind;
        void (frmMdict::*routine)();
    };

    void createControls();
    void setUpTabOrder();

    void ApplyDisplayConfig();

    void Command2_Click();
    void Command4_Click();
    void Command1_Click();
    void SearchByScript();
    void SearchByTranslit();
    void SearchByPlain();
    void searchButtonClicked(const SearchBox& search);
    void fillResults(const SearchBox& search);
    const SearchBox& searchFor(const QObject* control) const;
    void runPendingLookup();

    void ListBox1_Change();
    void ListBox1_MouseUp();
    void showCurrentEntry();
    void ShowEntry();

    void TextBox11_Change();
    void TextBox1_Change();

    void Command5_Click();
    void Command3_Click();
    void Command6_Click();

    QPlainTextEdit* TextBox2 = nullptr;
    ResultList* ListBox1 = nullptr;
    dictionary::ResultListModel* m_results = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* Command5 = nullptr;
    QLineEdit* TextBox1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* TextBox11 = nullptr;
    QPushButton* Command4 = nullptr;
    QLineEdit* TextBox3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command3 = nullptr;
    QFrame* Line2 = nullptr;

    SearchBox m_searches[3];

    // Which search filled the list; decides the header of an entry.
    dictionary::SearchMode searchMode = dictionary::SearchMode::Latin;
    dictionary::KeyInput m_keys;
    bool m_replacingKeys = false;
    bool m_activated = false;
    QString m_pendingLookup;
};

} // namespace orvane
