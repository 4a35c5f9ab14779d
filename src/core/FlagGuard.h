#pragma once
// Sets a form-level flag for as long as a sequence runs, however it ends (a thrown error, an early return).

class FlagGuard
{
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};
