"""The repository's AWS Batch job definition and array submission, validated offline against
AWS Batch's own API model (botocore's, from Debian's python3-botocore), and held to what
makes the array render each line of the jobs file exactly once: the array's size is the
shard count, each task's share comes from AWS_BATCH_JOB_ARRAY_INDEX, retries keep what was
finished. Usage: python3 aws_batch_test.py DEPLOY_DIR (exit 77: botocore missing)."""
import json
import re
import sys

try:
    import botocore.session
    from botocore.validate import ParamValidator
except ImportError:
    print("SKIP: botocore is not installed here (scripts/setup.sh installs python3-botocore)")
    sys.exit(77)

failures = 0


def check(ok, message):
    global failures
    print(("ok" if ok else "FAILED") + ": " + message)
    failures += 0 if ok else 1


def errors(operation, params):
    shape = botocore.session.get_session().get_service_model("batch").operation_model(operation).input_shape
    report = ParamValidator().validate(params, shape)
    return report.generate_report() if report.has_errors() else ""


folder = sys.argv[1]
definition = json.load(open(f"{folder}/job-definition.json"))
submission = json.load(open(f"{folder}/submit-array-job.json"))

for operation, params, name in (("RegisterJobDefinition", definition, "job-definition.json"),
                                ("SubmitJob", submission, "submit-array-job.json")):
    found = errors(operation, params)
    check(not found, f"{name} is a valid {operation} request{': ' + found if found else ''}")

# The validator does refuse a bad request (else the checks above prove nothing).
broken = json.loads(json.dumps(submission))
broken["arrayProperties"] = {"size": "100", "count": 2}
check(errors("SubmitJob", broken) != "", "an array size given as a word and an unknown field are refused")

size = submission["arrayProperties"]["size"]
for name, command in (("the definition", definition["containerProperties"]["command"]),
                      ("the submission", submission["containerOverrides"]["command"])):
    shard = command[command.index("--shard") + 1]
    check(re.fullmatch(rf"auto/{size}", shard) is not None, f"{name}'s --shard {shard} is the array's {size} tasks")
    check("--resume" in command, f"{name} keeps finished pictures when a task is retried (--resume)")
check(submission["jobDefinition"] == definition["jobDefinitionName"], "the submission runs the definition")
retries = definition["retryStrategy"]
check(retries["attempts"] > 1 and any(e.get("onStatusReason", "").startswith("Host EC2") for e in retries["evaluateOnExit"]),
      "a task whose instance was taken back is retried")


def on_exit(exit_code=None, reason="", status_reason=""):
    """What AWS Batch does with an attempt that ended: the first entry whose given patterns
    all match (a glob, * at the end) decides; none matching, the job is retried."""
    def matches(pattern, value):
        return value is not None and (value.startswith(pattern[:-1]) if pattern.endswith("*") else value == pattern)
    for entry in retries["evaluateOnExit"]:
        given = {"onExitCode": None if exit_code is None else str(exit_code), "onReason": reason,
                 "onStatusReason": status_reason}
        if all(matches(entry[key], given[key]) for key in given if key in entry):
            return entry["action"]
    return "RETRY"


check(len(retries["evaluateOnExit"]) <= 5, "at most five retry conditions (AWS Batch's limit)")
check(on_exit(1, "", "Essential container in task exited") == "EXIT" and on_exit(2) == "EXIT",
      "an attempt ending with 1 (pictures failed) or 2 (usage) is not retried: a retry cannot mend it")
check(on_exit(status_reason="Host EC2 (instance i-0abc) terminated.") == "RETRY",
      "an attempt whose instance was taken back is retried")
check(on_exit(137, "OutOfMemoryError: Container killed due to memory usage") == "RETRY", "a killed attempt is retried")

container = definition["containerProperties"]
check(container.get("user") not in (None, "", "root", "0") and container.get("privileged") is False and
      container.get("readonlyRootFilesystem") is True,
      "the container runs as a user other than root, unprivileged, on a read-only root file system")
check(any(t["containerPath"] == "/tmp" for t in container.get("linuxParameters", {}).get("tmpfs", [])),
      "Wine's and the display's sockets have a writable /tmp")
check(re.search(r"@sha256:[0-9a-f]{64}$", container["image"]) is not None, "the image is pinned by its digest")
mounts = [m["containerPath"] for m in definition["containerProperties"]["mountPoints"]]
command = container["command"]
check("--output-root" in command and command[command.index("--output-root") + 1] in mounts,
      "every picture stays on the shared volume (--output-root)")
jobs = definition["containerProperties"]["command"][1]
check(any(jobs.startswith(m + "/") for m in mounts), f"the jobs file {jobs} lies on the shared volume {mounts}")
sys.exit(1 if failures else 0)
