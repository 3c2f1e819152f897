#pragma once

// The disk search window: scans a folder tree on a worker thread for icons, icon libraries,
// cursors, programs and pictures, lists what it finds as it goes, previews the selected file and
// hands it to the main window's open roads, the desktop's default program, a properties box or
// the full-screen viewer.

#include "framework/forms.h"
#include "framework/grids.h"
#include "import/disk_scan.h"

#include <QList>
#include <atomic>
#include <memory>
#include <thread>

class QImage;
class Tformscreen;

class Tsearchimage : public TForm {
    Q_OBJECT

public:
    explicit Tsearchimage(QWidget* owner = nullptr);
    ~Tsearchimage() override;

    bool Searching = false;
    std::atomic<bool> StopFlag{false};
    int ResultCount = 0;
    int SelectedResult = -1;
    QList<TSearchResult> Results;
    // The viewer the last Full Screen showed.
    Tformscreen* LastFullScreen = nullptr;
    // The walk a search's worker runs; tests put one of their own pace in its place.
    using TWalkFunction = std::function<int64_t(const QString& root, const QString& fragment, TSearchKind kind,
                                                const std::atomic<bool>& stop, const TSearchSink& sink,
                                                const TFolderHook& entered)>;
    TWalkFunction Walk = ScanFolder;

    // Whether a worker thread is still running (it may outlive Stop by one directory entry).
    bool WorkerRunning() const { return workerRunning_; }
    // Waits, handling the worker's hand-overs, until the worker has ended.
    void WaitForWorker();
    // Selects result k (from 0) as a click on its row does.
    void SelectResult(int k);
    // The properties of a file, as the properties box shows them.
    static QString FileProperties(const QString& path);
    void ShowFileProperties(const QString& path);
    // The location box's entries: mount points and chosen folders.
    QStringList Locations() const;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton5Click(TObject* Sender);
    Q_INVOKABLE void ListView111Click(TObject* Sender);
    Q_INVOKABLE void ListView111Enter(TObject* Sender);
    Q_INVOKABLE void ListViewDblClick(TObject* Sender);
    Q_INVOKABLE void DrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void DrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void DrawGrid1DblClick(TObject* Sender);
    Q_INVOKABLE void ToolButton12Click(TObject* Sender);
    Q_INVOKABLE void ToolButton13Click(TObject* Sender);
    Q_INVOKABLE void ToolButton14Click(TObject* Sender);
    Q_INVOKABLE void ToolButton15Click(TObject* Sender);
    Q_INVOKABLE void ToolButton2Click(TObject* Sender);
    Q_INVOKABLE void ToolButton3Click(TObject* Sender);
    Q_INVOKABLE void N1Click(TObject* Sender);
    Q_INVOKABLE void N2Click(TObject* Sender);
    Q_INVOKABLE void N6Click(TObject* Sender);
    Q_INVOKABLE void N11Click(TObject* Sender);
    Q_INVOKABLE void N13Click(TObject* Sender);
    Q_INVOKABLE void N14Click(TObject* Sender);
    Q_INVOKABLE void N17Click(TObject* Sender);

private:
    struct TBatch;
    void StartWorker(TSearchKind kind, const QString& root, const QString& fragment);
    void TakeBatch(const std::shared_ptr<TBatch>& batch);
    void WorkerEnded(int generation);
    void AddRow(const TSearchResult& r);
    void DrawPreview();
    QString SelectedPath() const;
    // The selected picture in the full-screen viewer: a new viewer, or the one kept.
    void ShowFullScreen(bool anew);
    void SetSelectionCommands(bool enabled);
    void ShowView(bool grid, int listStyle);
    void JoinWorker();

    std::thread worker_;
    bool workerRunning_ = false;
    int generation_ = 0;
};

// The newest search window.
extern Tsearchimage* searchimage;
