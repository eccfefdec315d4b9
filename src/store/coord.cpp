#include "loopweave.h"

CCoord::CCoord(double x, double y, int flag) : x_(x), y_(y), flag_(flag) {}

CCoord::CCoord(const CCoord& other) = default;

const CCoord& CCoord::operator=(const CCoord& other) {
    x_ = other.x_;
    y_ = other.y_;
    flag_ = other.flag_;
    return *this;
}

double CCoord::X() { return x_; }
double CCoord::Y() { return y_; }
int CCoord::Flag() { return flag_; }
