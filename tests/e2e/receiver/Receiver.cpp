// nq-receiver: the application the end-to-end tests type into, as a person's text editor would be.
// It writes its whole text (UTF-8) to the file named first each time the text changes; a pasted
// picture becomes the text "[picture WxH red P%]" (P: its share of pure red pixels). With a second file name,
// it appends the wall-clock time in milliseconds of every key press it receives there (for the latency
// benchmark).
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
      const QImage image = qvariant_cast<QImage>(source->imageData()).convertToFormat(QImage::Format_RGB32);
      // How much of it is pure red, so a test can tell which part of a window was copied.
      qint64 red = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QRgb pixel = image.pixel(x, y);
          red += qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
        }
      const qint64 all = qMax<qint64>(1, qint64(image.width()) * image.height());
      textCursor().insertText(
          QString("[picture %1x%2 red %3%]").arg(image.width()).arg(image.height()).arg(red * 100 / all));
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
