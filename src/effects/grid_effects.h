// The splashes, explosions, falling bombs and bonus labels running on a
// grid: one frame of them, composed on the grid's effect surface.
#pragma once

class TBattleField;
class TCommon;

// Called for a grid only in frames in which its EffectCount is not 0; the
// frame then shows EffectSurface instead of GridSurface.
void AnimateGridEffects(TBattleField& grid, TCommon& common, int lagCount);
