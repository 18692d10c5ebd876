#pragma once
// A page of the property view: a dialog page built from its template, shown under the view's
// tabs. It exchanges its data with its controls when it is shown and left, tells its owner
// when its data changed, and hands the view's page keys (Ctrl+Tab, Ctrl+Page Up/Down, Ctrl+F4,
// Ctrl+F6) to the view instead of using them inside the page.
#include <QSize>
#include <QString>
#include <QWidget>

class CPropertyView;

class CPropertyViewPage : public QWidget {
    Q_OBJECT
public:
    // templateId: the page's dialog template; caption: its window text, when not empty.
    explicit CPropertyViewPage(int templateId, const QString& caption = QString());
    ~CPropertyViewPage() override;

    // Builds the page from its template as a borderless child of parent and initialises it;
    // false when the template is unknown.
    bool Create(QWidget* parent);
    bool IsCreated() const { return m_bCreated; }
    int TemplateId() const { return m_nTemplateId; }
    // The page's size when it was created.
    QSize CreationSize() const { return {m_nWidth, m_nHeight}; }

    void SetOwner(CPropertyView* owner) { m_pOwner = owner; }
    CPropertyView* Owner() const { return m_pOwner; }
    // The next activation leaves the controls as they are.
    void SkipNextRefresh() { m_bSkipRefresh = true; }

    virtual void SetModified(bool modified = true);
    virtual bool IsModified() const { return m_bModified; }
    // Shown: writes the page data to the controls (unless told to skip once); true to accept.
    virtual bool OnSetActive();
    // Left: reads the controls into the page data; false refuses to let the page go.
    virtual bool OnKillActive();
    // Writes the page data to the controls, then OnUpdatePage(nullptr, 0, nullptr).
    virtual bool RefreshPage();
    // The view's update notification; nothing in the base.
    virtual void OnUpdatePage(QObject* sender, qintptr hint, QObject* hintObject) {}
    // Reads the controls into the page data and applies them; the result of the read.
    virtual bool ApplyPage();

protected:
    virtual bool OnInitDialog() { return true; }
    // Dialog data exchange: controls → page data (save) or page data → controls; false when
    // the controls hold something the page data cannot take.
    virtual bool DoDataExchange(bool save) { return true; }
    bool UpdateData(bool save) { return DoDataExchange(save); }
    // What Enter applies; nothing in the base.
    virtual void OnOK() {}

    // Enter and Escape end nothing on a page.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CPropertyView* ViewOf() const;

    CPropertyView* m_pOwner = nullptr;
    bool m_bModified = false;
    bool m_bSkipRefresh = false;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nTemplateId;
    QString m_strCaption;
    bool m_bCreated = false;
};
