// The score board between the grids: the score centred in its box, and the
// roll of a side's number when it gains a point: the old number rises out
// under the frame while the new one rises into the box.
#include <cmath>
#include <string>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "ui/common.h"

namespace {

// Bold Arial at 9 points: "10:10" is about 30 pixels wide and 15 high, inside
// the 34 by 18 box.
const eng::Font kScoreFont{"Arial", 9, true, eng::kBlack};
constexpr eng::Color kYellow{255, 255, 0};
constexpr eng::Rect kTextBox{5, 9, 34, 18};
constexpr float kRollSpeed = 0.01f;  // pixels per millisecond
constexpr int kBoardX = 299, kBoardY = 95;

int Nearest(float v) { return static_cast<int>(std::nearbyint(v)); }

eng::Canvas& ScoreCanvas(eng::Surface& surface) {
  eng::Canvas& canvas = surface.GetCanvas();
  canvas.brushClear = true;
  canvas.font = kScoreFont;
  return canvas;
}

}  // namespace

void TCommon::PaintScoreText() {
  // The empty board, copied whole so no digit of a roll is left behind.
  const eng::ImageItem& board = Services().images[assets::kScoreTable];
  ScoreSurface.Draw(0, 0, board.GetSurface(), board.PatternRect(0), false);
  eng::Canvas& canvas = ScoreCanvas(ScoreSurface);
  ScoreTextX = kTextBox.x + (kTextBox.w - canvas.TextWidth(ScoreText)) / 2;
  ScoreTextY = kTextBox.y + (kTextBox.h - canvas.TextHeight(ScoreText)) / 2;
  canvas.TextOut(ScoreTextX, ScoreTextY, ScoreText);
  canvas.font.color = kYellow;
  canvas.TextOut(ScoreTextX - 1, ScoreTextY - 1, ScoreText);
  canvas.font.color = eng::kBlack;
  canvas.Release();
}

void TCommon::AddPoint(int side) {
  eng::Canvas& canvas = ScoreCanvas(ScoreSurface);
  const int x0 = ScoreTextX, y0 = ScoreTextY;
  const int w0 = canvas.TextWidth(ScoreText);

  if (side == 1) {
    RollOld = std::to_string(ScoreLeft);
    ++ScoreLeft;
    RollNew = std::to_string(ScoreLeft);
    RollKept = std::string(":").append(std::to_string(ScoreRight));
  } else {
    RollOld = std::to_string(ScoreRight);
    ++ScoreRight;
    RollNew = std::to_string(ScoreRight);
    RollKept = std::to_string(ScoreLeft) + ":";
  }
  ScoreSide = side == 1 ? 1 : 2;

  // The unchanged part stays exactly where it stood in the old score.
  RollKeptX = ScoreSide == 1 ? x0 + w0 - canvas.TextWidth(RollKept) : x0;
  RollKeptY = y0;

  ScoreText = std::to_string(ScoreLeft) + ":" + std::to_string(ScoreRight);
  const int w1 = canvas.TextWidth(ScoreText);

  // The old number leaves from where it stood: the right number ended where
  // the old score ended.
  RollOldX = ScoreSide == 1 ? x0 : x0 + w0 - canvas.TextWidth(RollOld);
  RollOldY = static_cast<float>(y0);

  ScoreTextX = kTextBox.x + (kTextBox.w - w1) / 2;
  ScoreTextY = kTextBox.y + (kTextBox.h - canvas.TextHeight(ScoreText)) / 2;

  // The new number comes up from just below the box to its place in the
  // new, centred score.
  RollNewX = ScoreSide == 1 ? ScoreTextX : ScoreTextX + w1 - canvas.TextWidth(RollNew);
  RollNewY = static_cast<float>(kTextBox.y + kTextBox.h);
  canvas.Release();
  ScoreRolling = 1;
}

void TCommon::DrawScore(eng::Surface& back, int lagCount) {
  if (ScoreRolling) {
    if (RollNewY <= static_cast<float>(ScoreTextY)) {
      ScoreRolling = 0;
      PaintScoreText();
    } else {
      const eng::ImageItem& board = Services().images[assets::kScoreTable];
      ScoreSurface.Draw(0, 0, board.GetSurface(), board.PatternRect(0), false);
      RollOldY -= kRollSpeed * static_cast<float>(lagCount);
      RollNewY -= kRollSpeed * static_cast<float>(lagCount);
      const int oldY = Nearest(RollOldY), newY = Nearest(RollNewY);

      eng::Canvas& canvas = ScoreCanvas(ScoreSurface);
      for (const eng::Color color : {eng::kBlack, kYellow}) {
        const int d = color == eng::kBlack ? 0 : 1;  // the yellow sits one pixel up and left
        canvas.font.color = color;
        canvas.TextOut(RollOldX - d, oldY - d, RollOld);
        canvas.TextOut(RollNewX - d, newY - d, RollNew);
        canvas.TextOut(RollKeptX - d, RollKeptY - d, RollKept);
      }
      canvas.font.color = eng::kBlack;
      canvas.Release();
      // The frame over the digits hides them outside the box.
      board.Draw(ScoreSurface, 0, 0, 1);
    }
  }
  back.Draw(kBoardX, kBoardY, ScoreSurface, true);
}
