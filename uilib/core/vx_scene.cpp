#include "uilib/core/vx_scene.h"

#include <algorithm>
#include <cstring>

namespace {

// Past this many changed places one rectangle around them all is composed instead.
constexpr size_t kMaxAreas = 64;
// When the changes cover this share of the frame, composing it whole is as cheap.
constexpr double kWholeShare = 0.6;

}  // namespace

void VxRetainedScene::Begin(int width, int height, uint64_t backgroundSerial) {
  if (width != w_ || height != h_ || backgroundSerial != background_) stale_ = true;
  w_ = width;
  h_ = height;
  background_ = backgroundSerial;
  ops_.clear();
  layers_.clear();
}

void VxRetainedScene::BeginLayer(const void* key, int part) {
  layers_.push_back(Layer{Key{key, part}, ops_.size(), ops_.size(), VxRc{}});
}

void VxRetainedScene::Blend(const VxPixelImage& image, int x, int y, int w, int h, int srcX,
                            int srcY, uint8_t alpha) {
  if (!image || alpha == 0) return;
  // Cut as VxBlendOver cuts, so that a layer's bounds hold exactly the pixels it changes.
  if (!VxCutBlend(w_, h_, image.Width(), image.Height(), &x, &y, &srcX, &srcY, &w, &h)) return;
  if (layers_.empty()) BeginLayer(nullptr, -1);
  ops_.push_back(Op{&image, image.Serial(), x, y, w, h, srcX, srcY, alpha});
  Layer& layer = layers_.back();
  layer.end = ops_.size();
  layer.bounds = layer.bounds.Union(VxRc{x, y, x + w, y + h});
}

bool VxRetainedScene::SameOps(const Layer& now, const Layer& was) const {
  return now.end - now.first == was.end - was.first &&
         std::equal(ops_.begin() + static_cast<std::ptrdiff_t>(now.first),
                    ops_.begin() + static_cast<std::ptrdiff_t>(now.end),
                    lastOps_.begin() + static_cast<std::ptrdiff_t>(was.first));
}

// A pixel whose layers are all unchanged, and drawn in the same order, keeps its colour: every
// other pixel lies in a layer that changed, came, went or moved in the order, whose bounds,
// old and new, are composed again.
std::vector<VxRc> VxRetainedScene::Damage() {
  std::unordered_map<Key, size_t, KeyHash>& was = lastPlaces_;  // kept: no allocations each frame
  was.clear();
  for (size_t j = 0; j < lastLayers_.size(); ++j) was.emplace(lastLayers_[j].key, j);
  std::vector<char> matched(lastLayers_.size(), 0);
  std::vector<VxRc> areas;
  auto add = [&](const VxRc& r) {
    if (!r.IsEmpty()) areas.push_back(r);
  };
  // The unchanged layers kept so far, in the new order, have rising old places.
  size_t latest = 0;
  bool any = false;
  for (const Layer& now : layers_) {
    const auto it = was.find(now.key);
    if (it == was.end() || matched[it->second]) {
      add(now.bounds);
      continue;
    }
    const size_t j = it->second;
    matched[j] = 1;
    if (!SameOps(now, lastLayers_[j])) {
      add(now.bounds);
      add(lastLayers_[j].bounds);
    } else if (any && j < latest) {
      add(now.bounds);
    } else {
      latest = j;
      any = true;
    }
  }
  for (size_t j = 0; j < lastLayers_.size(); ++j)
    if (!matched[j]) add(lastLayers_[j].bounds);
  return areas;
}

void VxRetainedScene::Repaint(const VxPixels& dst, const VxRc& area, const VxPixels& background) {
  const VxRc in = VxIntersection(
      area, VxRc{0, 0, std::min({w_, dst.width, background.width}),
                 std::min({h_, dst.height, background.height})});
  if (in.IsEmpty() || !dst.bits || !background.bits) return;
  const size_t rowBytes = static_cast<size_t>(in.Width()) * 4;
  for (int y = in.top; y < in.bottom; ++y)
    std::memcpy(dst.bits + y * dst.stride + static_cast<std::ptrdiff_t>(in.left) * 4,
                background.bits + y * background.stride + static_cast<std::ptrdiff_t>(in.left) * 4,
                rowBytes);
  for (const Op& op : ops_) {
    const VxRc part = VxIntersection(VxRc{op.x, op.y, op.x + op.w, op.y + op.h}, in);
    if (part.IsEmpty()) continue;
    VxBlendOver(dst, part.left, part.top, op.image->Pixels(), op.srcX + part.left - op.x,
                op.srcY + part.top - op.y, part.Width(), part.Height(), op.alpha);
  }
  repainted_ += static_cast<int64_t>(in.Width()) * in.Height();
}

bool VxRetainedScene::Update(const VxPixels& background) {
  repainted_ = 0;
  if (!pixels_ || pixels_.Width() != w_ || pixels_.Height() != h_) {
    stale_ = true;
    if (!pixels_.Create(w_, h_)) {
      lastOps_.clear();
      lastLayers_.clear();
      return false;
    }
  }
  std::vector<VxRc> areas;
  if (!stale_) areas = Damage();
  const VxRc whole{0, 0, w_, h_};
  int64_t area = 0;
  for (const VxRc& r : areas) area += static_cast<int64_t>(r.Width()) * r.Height();
  if (stale_ || area > kWholeShare * w_ * h_) {
    areas.assign(1, whole);
  } else if (areas.size() > kMaxAreas) {
    VxRc around;
    for (const VxRc& r : areas) around = around.Union(r);
    areas.assign(1, around);
  }
  for (const VxRc& r : areas) Repaint(pixels_.Pixels(), r, background);
  lastOps_.swap(ops_);
  lastLayers_.swap(layers_);
  stale_ = false;
  return true;
}

void VxRetainedScene::ComposeAll(const VxPixels& dst, const VxPixels& background) {
  repainted_ = 0;
  Repaint(dst, VxRc{0, 0, w_, h_}, background);
  stale_ = true;
}

void VxRetainedScene::Reset() {
  pixels_.Reset();
  ops_.clear();
  lastOps_.clear();
  layers_.clear();
  lastLayers_.clear();
  stale_ = true;
}
