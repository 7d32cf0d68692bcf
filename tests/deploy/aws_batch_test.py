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
mounts = [m["containerPath"] for m in definition["containerProperties"]["mountPoints"]]
jobs = definition["containerProperties"]["command"][1]
check(any(jobs.startswith(m + "/") for m in mounts), f"the jobs file {jobs} lies on the shared volume {mounts}")
sys.exit(1 if failures else 0)
