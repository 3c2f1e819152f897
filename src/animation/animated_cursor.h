#pragma once

// The program's own animated cursor: an animated cursor file played as the application's cursor
// number 99 over every window of the program, one frame per step at the step's rate. It runs until
// it is stopped, replaced by another file, or another command sets the application's cursor.

#include <QCursor>
#include <QObject>
#include <QString>
#include <vector>

class QTimer;

inline constexpr int AnimatedCursorNumber = 99;

class TAnimatedCursor : public QObject {
    Q_OBJECT

public:
    // The one player of the program.
    static TAnimatedCursor& Instance();

    // Reads the file and starts playing it; raises EAniError for a file that is no animated
    // cursor, the file-open error for one that cannot be read. The cursor in force stays then.
    void Play(const QString& fileName);
    // Gives every window its own cursor back.
    void Stop();
    bool Playing() const;
    int StepCount() const { return int(steps_.size()); }
    int CurrentStep() const { return step_; }
    // The hot spot of the step's cursor.
    QPoint HotSpot(int step) const;
    // Shows the next step (the timer does this at each step's rate).
    void Advance();

private:
    explicit TAnimatedCursor(QObject* parent = nullptr);
    void ShowStep();

    struct TStep {
        QCursor Cursor;
        int Milliseconds = 0;
    };
    std::vector<TStep> steps_;
    int step_ = 0;
    QTimer* timer_ = nullptr;
};
