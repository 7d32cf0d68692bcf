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
const shard = args[args.indexOf("--shard") + 1] || "";
const count = Number((shard.match(/^auto\/(\d+)$/) || [])[1]);
check(spec.completionMode === "Indexed", "Indexed: each pod gets its JOB_COMPLETION_INDEX");
check(count > 0 && spec.completions === count && spec.parallelism <= count,
      `the shards (--shard ${shard}) are the completions (${spec.completions})`);
check(args.includes("--resume") && spec.template.spec.restartPolicy === "Never" && spec.backoffLimit >= count,
      "a failed pod is retried for its index and keeps what was finished (--resume)");
const mounts = (container.volumeMounts || []).map((m) => m.mountPath);
const jobsFile = args[args.indexOf("--jobs") + 1] || "";
check(mounts.some((m) => jobsFile.startsWith(m + "/")), `the jobs file (${jobsFile}) lies on the shared volume (${mounts})`);

process.exit(failures ? 1 : 0);
