#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QWidget;

// The about box: version, years, maker, the site's links and a memory summary.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    void FormActivate();
    void btnCancelClick();
    void lblHomePageClick();
    void lblSupportMailClick();
    void lblNewsletterClick();

    // Every way of closing the box gives this result.
    static constexpr int kCloseResult = 2;

    QWidget* pnlTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblHomePage = nullptr;
    QLabel* lblSupportMail = nullptr;
    QLabel* lblNewsletter = nullptr;
    QLabel* Label4 = nullptr; // total memory
    QLabel* Label5 = nullptr; // memory load
    QWidget* pnlButtons = nullptr;
    QPushButton* btnCancel = nullptr;
    // The grey squares behind everything, laid out on the first activation.
    QList<QWidget*> Squares;

    // The box being shown, if any.
    static TfrmAbout* Current();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;   // FormKeyPress: Enter
    void keyReleaseEvent(QKeyEvent* event) override; // FormKeyUp: Escape
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLine(int top, int captionLeft, int valueLeft, const QString& caption);
    void LayOutSquares();
    // Keeps every text whole in the platform's font (see FormActivate).
    void FitTexts();

    struct Line {
        QLabel* Caption;
        QLabel* Value;
        int ValueLeft; // as designed
    };
    QList<Line> Lines;
};

// Shows the about box modally and returns its result; when one is already
// shown, closes that one instead and returns 0.
int ShowAbout(QWidget* owner = nullptr);
