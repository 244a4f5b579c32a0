// nq-receiver: the application the end-to-end tests type into, as a person's text editor would be.
// It writes its whole text (UTF-8) to the file named first each time the text changes; a pasted
// picture becomes the text "[picture WxH]". With a second file name, it appends the wall-clock time in
// milliseconds of every key press it receives there (for the latency benchmark).
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QSaveFile>
#include <QTextEdit>

namespace {

class ReceivingEditor : public QTextEdit {
public:
  ReceivingEditor(QString textFile, QString keyLog)
      : TextFile(std::move(textFile)), KeyLog(std::move(keyLog)) {
    setWindowTitle("Receptor");
    resize(600, 300);
    connect(this, &QTextEdit::textChanged, this, [this] { Save(); });
  }

protected:
  bool canInsertFromMimeData(const QMimeData* source) const override {
    return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (source->hasImage()) {
      const QImage image = qvariant_cast<QImage>(source->imageData());
      textCursor().insertText(QString("[picture %1x%2]").arg(image.width()).arg(image.height()));
      return;
    }
    insertPlainText(source->text());
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (!KeyLog.isEmpty()) {
      QFile log(KeyLog);
      if (log.open(QIODevice::Append))
        log.write(QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + "\n");
    }
    QTextEdit::keyPressEvent(event);
  }

private:
  void Save() {
    QSaveFile out(TextFile);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(toPlainText().toUtf8());
    out.commit();
  }

  QString TextFile;
  QString KeyLog;
};

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  ReceivingEditor editor(QString::fromLocal8Bit(argv[1]),
                         argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
  editor.show();
  return QApplication::exec();
}
