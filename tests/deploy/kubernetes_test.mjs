// The repository's Kubernetes Indexed Job, validated offline against the Kubernetes API's
// own schemas (the kubernetes-models package), and held to what makes it render each line
// of the jobs file exactly once: as many completions as shards, each pod's share from its
// completion index, retries that keep finished pictures.
// Usage: node kubernetes_test.mjs MANIFEST.yaml
import { readFileSync } from "node:fs";
import { parseAllDocuments } from "yaml";
import { Job } from "kubernetes-models/batch/v1/Job";

let failures = 0;
function check(ok, message) {
  console.log(`${ok ? "ok" : "FAILED"}: ${message}`);
  if (!ok) failures++;
}
function validationError(object) {
  try {
    new Job(object).validate();
    return "";
  } catch (e) {
    return String(e.message || e);
  }
}

const path = process.argv[2];
const documents = parseAllDocuments(readFileSync(path, "utf8"));
check(documents.length === 1 && documents[0].errors.length === 0, `${path} is one YAML document`);
const manifest = documents[0].toJS();
check(manifest.apiVersion === "batch/v1" && manifest.kind === "Job", "it is a batch/v1 Job");
const error = validationError(manifest);
check(error === "", `it is valid against the Kubernetes API schema${error ? ": " + error : ""}`);

// The validator does refuse what the API server would (else the check above proves nothing).
const broken = structuredClone(manifest);
broken.spec.completions = "thirty";
broken.spec.template.spec.containers[0].resources.requests.cpu = { cores: 2 };
check(validationError(broken) !== "", "a Job with a word for its completions and a bad cpu request is refused");

const spec = manifest.spec;
const container = spec.template.spec.containers[0];
const args = container.args || [];
const mounts = (container.volumeMounts || []).map((m) => m.mountPath);
const shard = args[args.indexOf("--shard") + 1] || "";
const count = Number((shard.match(/^auto\/(\d+)$/) || [])[1]);
check(spec.completionMode === "Indexed", "Indexed: each pod gets its JOB_COMPLETION_INDEX");
check(count > 0 && spec.completions === count && spec.parallelism <= count,
      `the shards (--shard ${shard}) are the completions (${spec.completions})`);
check(args.includes("--resume") && spec.template.spec.restartPolicy === "Never" && spec.backoffLimitPerIndex >= 1,
      "a killed pod is retried for its index, with retries of its own, and keeps what was finished (--resume)");

// What the Job controller does with a pod that ended: the first rule of the pod failure
// policy that matches decides; none matching, the failure counts against the index's retries.
function onFailure(exitCode, conditions = []) {
  for (const rule of (spec.podFailurePolicy || {}).rules || []) {
    const codes = rule.onExitCodes;
    if (codes && (!codes.containerName || codes.containerName === container.name) &&
        (codes.operator === "In") === codes.values.includes(exitCode))
      return rule.action;
    if ((rule.onPodConditions || []).some((c) => conditions.includes(c.type)))
      return rule.action;
  }
  return "Count";
}
check(onFailure(1) === "FailIndex" && onFailure(2) === "FailIndex",
      "a pod ending with 1 (pictures failed) or 2 (usage) fails its index at once: a retry cannot mend it");
check(onFailure(137) === "Count" && onFailure(130) === "Count", "a pod killed (out of memory, stopped) is retried");
check(onFailure(137, ["DisruptionTarget"]) === "Ignore", "an evicted or preempted pod is retried without counting");

// Least privilege: no root, no escalation, nothing written outside the work volume and /tmp.
const pod = spec.template.spec.securityContext || {};
const own = container.securityContext || {};
check(pod.runAsNonRoot === true && pod.runAsUser > 0, "the pod runs as a user other than root");
check(own.allowPrivilegeEscalation === false && own.readOnlyRootFilesystem === true &&
      (own.capabilities?.drop || []).includes("ALL"),
      "the container cannot gain privileges and its root file system is read-only");
check(mounts.includes("/tmp"), "Wine's and the display's sockets have a writable /tmp");
check(/@sha256:[0-9a-f]{64}$/.test(container.image), `the image is pinned by its digest (${container.image})`);
check(Boolean(container.resources?.limits?.cpu), "the pod has a CPU limit");
const root = args[args.indexOf("--output-root") + 1];
check(args.includes("--output-root") && mounts.includes(root),
      `every picture stays on the work volume (--output-root ${root})`);
const jobsFile = args[args.indexOf("--jobs") + 1] || "";
check(mounts.some((m) => jobsFile.startsWith(m + "/")), `the jobs file (${jobsFile}) lies on the shared volume (${mounts})`);

process.exit(failures ? 1 : 0);
