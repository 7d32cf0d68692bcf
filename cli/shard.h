// Which share of a jobs file this run renders: given as K/N, or taken from the array job
// of the engine running it (Slurm, a Kubernetes Indexed Job, an AWS Batch array job).
#pragma once
#include <functional>
#include <string>

struct Shard {
    unsigned index = 0;  // zero-based: this run renders the jobs k with k % count == index
    unsigned count = 1;
};

// An environment variable's value; false when it is not set.
using EnvironmentLookup = std::function<bool(const wchar_t* name, std::wstring* pValue)>;
bool ProcessEnvironment(const wchar_t* name, std::wstring* pValue);

// "K/N" (1 <= K <= N), "auto" (a Slurm array) or "auto/N" (any engine, N tasks). False with
// a message for the user: what was wrong, and for "auto" which variables were looked for.
bool ParseShard(const std::wstring& text, const EnvironmentLookup& environment, Shard* pShard, std::wstring* pError);
