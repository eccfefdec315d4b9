#include "loopweave.h"

CLoopweaveElement::CLoopweaveElement(double sx, double sy, double ex, double ey, int key1, int key2)
    : sx_(sx), sy_(sy), ex_(ex), ey_(ey), key1_(key1), key2_(key2), serial_(0) {}

CLoopweaveElement::CLoopweaveElement(const CLoopweaveElement& other)
    : sx_(other.sx_),
      sy_(other.sy_),
      ex_(other.ex_),
      ey_(other.ey_),
      key1_(other.key1_),
      key2_(other.key2_),
      serial_(0) {}

const CLoopweaveElement& CLoopweaveElement::operator=(const CLoopweaveElement& other) {
    sx_ = other.sx_;
    sy_ = other.sy_;
    ex_ = other.ex_;
    ey_ = other.ey_;
    key1_ = other.key1_;
    key2_ = other.key2_;
    return *this;
}

double CLoopweaveElement::Sx() { return sx_; }
double CLoopweaveElement::Sy() { return sy_; }
double CLoopweaveElement::Ex() { return ex_; }
double CLoopweaveElement::Ey() { return ey_; }
int CLoopweaveElement::Key1() { return key1_; }
int CLoopweaveElement::Key2() { return key2_; }

namespace {
double Replace(double& field, double value) {
    const double previous = field;
    field = value;
    return previous;
}
}  // namespace

double CLoopweaveElement::SetSx(double sx) { return Replace(sx_, sx); }
double CLoopweaveElement::SetSy(double sy) { return Replace(sy_, sy); }
double CLoopweaveElement::SetEx(double ex) { return Replace(ex_, ex); }
double CLoopweaveElement::SetEy(double ey) { return Replace(ey_, ey); }
void CLoopweaveElement::SetSerial(int serial) { serial_ = serial; }
int CLoopweaveElement::Serial() { return serial_; }
